// The main dialog's own texts: the introduction, and the boxes and log lines of the Format command.
#pragma once

namespace tolven {

inline constexpr char16_t kIntroductionText[] =
    u"톨벤 제품 전용 포맷 유틸리티입니다.\r\n톨벤 제품을 USB로 연결하시면 Format버튼이 활성화 됩니다.";

inline constexpr char16_t kNoPlayerBoxText[] = u"TOLVEN 제품이 연결되지 않았습니다.";
inline constexpr char16_t kNoPlayerBoxCaption[] = u"장치확인";
// "%c: 드라이브 포맷": the letter, a colon, a blank and this text.
inline constexpr char16_t kConfirmCaptionSuffix[] = u": 드라이브 포맷";
inline constexpr char16_t kConfirmBoxText[] =
    u"포맷할 경우, 하드디스크 장치의 모든 자료가 삭제 됩니다. 포맷하시겠습니까?";

inline constexpr char kPlayerVolumeLabel[] = "PMP";
inline constexpr char16_t kLabelLogLine[] = u"Volume Label을 'PMP'로 바꿉니다.";
inline constexpr char16_t kCopyingLogLine[] = u"시스템에 필요한 기본폴더 생성 및 파일들을 복사중입니다...";
inline constexpr char16_t kCopyDoneLogLine[] = u"파일 복사가 완료되었습니다.\r\n";
inline constexpr char16_t kCopyFailedLogLine[] = u"파일 복사에 실패하였습니다.";

// The registry key of the application's settings (set, never used).
inline constexpr char16_t kRegistryKey[] = u"로컬 응용 프로그램 마법사에서 생성된 응용 프로그램";

}  // namespace tolven
