#include "app/dialog_resources.h"

#include "app/framework/window_messages.h"
#include "app/resource_ids.h"

namespace tolven {

namespace {

constexpr ControlTemplate kMainControls[] = {
    {kIdOk, ControlClass::kButton, u"종료", 0x50010001, {205, 49, 255, 89}},
    {kIdcPanelFrame, ControlClass::kStatic, u"", 0x50000007, {7, 7, 200, 46}},
    {kIdcLogEdit, ControlClass::kEdit, u"", 0x50A10844, {7, 46, 200, 90}},
    {kIdcFormat, ControlClass::kButton, u"Format", 0x50010000, {205, 7, 255, 46}},
    {kIdcProgress, ControlClass::kProgress, u"", 0x40800000, {7, 77, 200, 90}},
};

constexpr ControlTemplate kAboutControls[] = {
    {kIdcStatic, ControlClass::kStatic, u"", 0x50000003, {11, 17, 31, 37}},
    {kIdcStatic, ControlClass::kStatic, u"TolvenFormat 버전 1.0", 0x50020080, {40, 10, 159, 18}},
    {kIdcStatic, ControlClass::kStatic, u"Tolven 플레이어 전용 포맷 도구", 0x50020000, {40, 25, 159, 33}},
    {kIdOk, ControlClass::kButton, u"확인", 0x50030001, {178, 7, 228, 23}},
};

constexpr DialogTemplate kDialogs[] = {
    {kIddTolvenFormatDialog,
     u"Tolven Device Format Utility",
     0x90C800C0,
     0x00040000,
     {0, 0, 262, 97},
     kMainControls},
    {kIddAboutBox, u"TolvenFormat 정보", 0x80C800C0, 0, {0, 0, 235, 55}, kAboutControls},
};

constexpr StringResource kStrings[] = {
    {kIdsAboutBox, u"TolvenFormat 정보(&A)..."},
};

constexpr uint32_t kIcons[] = {kIdrMainFrame};

}  // namespace

const ResourceSet& TolvenFormatResources() {
    static const ResourceSet kResources{kDialogs, kStrings, kIcons};
    return kResources;
}

}  // namespace tolven
