#include "install/settings_file.h"

#include "common/text.h"
#include "install/paths.h"

namespace pm {

int ScaleFromLogPixels(int logPixelsX) { return logPixelsX * 100 / 96; }

ToolbarSkin ChooseToolbarSkin(const std::function<int()>& screenHeight, int scalePercent) {
    if (screenHeight() >= 1600 || scalePercent >= 170) return {L"gnome-colors-human_48.png", L"48"};
    if (screenHeight() > 1200 || scalePercent >= 150) return {L"gnome-colors-wise_32.png", L"32"};
    if (screenHeight() < 768) return {L"Quartz_16.png", L"16"};
    return {L"Ribbonet_24.png", L"24"};
}

SettingsPlan PlanSettingsFiles(const std::wstring& installFolderPath,
                               const std::wstring& settingsFolder,
                               const std::function<std::wstring(const std::wstring&)>& expand) {
    SettingsPlan plan;
    plan.installSettingsFile = installFolderPath + L"p_moor32.ini";
    plan.activeSettingsFile = plan.installSettingsFile;
    plan.settingsFolder = settingsFolder;
    if (!plan.settingsFolder.empty()) {
        plan.expandedFolder = plan.settingsFolder.find(L'%') != std::wstring::npos
                                  ? expand(plan.settingsFolder)
                                  : plan.settingsFolder;
        TrimSpaces(plan.expandedFolder);
        AppendBackslash(plan.expandedFolder);
        plan.useSettingsFolder = true;
        plan.activeSettingsFile = plan.expandedFolder + L"p_moor32.ini";
    }
    plan.portableLayout = PortableLayoutOf(plan.activeSettingsFile, plan.useSettingsFolder);
    return plan;
}

int PortableLayoutOf(const std::wstring& activeSettingsFile, bool useSettingsFolder) {
    return useSettingsFolder &&
                   (activeSettingsFile.find(L"Pixelmoor32_App") != std::wstring::npos ||
                    activeSettingsFile.find(L"Pixelmoor64_App") != std::wstring::npos)
               ? 1
               : 0;
}

std::string BuildUnicodeSettingsFile(
    std::string_view ansiContent, const std::function<std::string(std::string_view)>& toUtf16Le) {
    std::string bytes = "\xFF\xFE";
    bytes += ToUtf16Le(kUnicodeSettingsHeader);
    bytes += toUtf16Le(ansiContent);
    return bytes;
}

bool HasUtf16Bom(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
}

}  // namespace pm
