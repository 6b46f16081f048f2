// The formatter's Korean status-log texts, word for word as the users have always seen them.
// A trailing CR LF belongs to the message: the log adds its own line end, leaving an empty line.
#pragma once

namespace tolven::format_messages {

// The open failure line is assembled around the platform error code (signed decimal).
inline constexpr char16_t kOpenFailedBeforeCode[] = u"장치 사용에 실패했습니다. -error=<";
inline constexpr char16_t kOpenFailedAfterCode[] = u">다른 프로그램이 장치를 사용 중인지 확인해 주십시요.";

inline constexpr char16_t kLockFailed[] = u"장치 lock에 실패했습니다.";
inline constexpr char16_t kGeometryUnreadable[] = u"장치 정보 읽기에 실패했습니다.";
inline constexpr char16_t kPartitionUnreadable[] = u"파티션 정보 읽기에 실패했습니다.";
inline constexpr char16_t kOnly512ByteSectors[] = u"섹터당 512 바이트 포맷만 지원합니다.\r\n";

inline constexpr char16_t kVolumeTooLarge[] =
    u"FAT32로 포맷하기엔 너무 큰 용량의 디스크입니다 - 최대 2TB 까지만 지원합니다.\r\n";
inline constexpr char16_t kVolumeTooSmall[] =
    u"FAT32로 포맷하기엔 너무 작은 용량의 디스크입니다 - 적어도 64K 클러스터가 있어야 합니다.\r\n";
inline constexpr char16_t kTooManyClusters[] =
    u"이 디스크는 2^28 이상의 클러스터가 있습니다, 더 큰 클러스터 사이즈로 포맷하세요.\r\n";
inline constexpr char16_t kFatTooSmall[] = u"너무 큰 용량의 장치여서 포맷할 수 없습니다.\r\n";

inline constexpr char16_t kAllocationFailed[] = u"메모리 할당에 실패하였습니다.";
inline constexpr char16_t kWriteFailed[] = u"기록에 실패하였습니다";
inline constexpr char16_t kSetPartitionFailed[] = u"파티션 정보 기록을 실패하였습니다.";
inline constexpr char16_t kDismountFailed[] = u"장치 해제에 실패했습니다.";
inline constexpr char16_t kUnlockFailed[] = u"장치 unlock에 실패했습니다.";

inline constexpr char16_t kFormatFailed[] = u"포맷작업 중 에러발생";
inline constexpr char16_t kFormatDone[] = u"포맷작업 완료";

}  // namespace tolven::format_messages
