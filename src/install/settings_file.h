// The viewer's settings file "p_moor32.ini": which file is active, the toolbar skin that suits
// the screen, and the UTF-16 form the file is converted to.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pm {

struct ToolbarSkin {
    const wchar_t* skin;
    const wchar_t* size;
};

// Scale in percent from the display's horizontal pixels per inch (96 gives 100, 144 gives 150).
int ScaleFromLogPixels(int logPixelsX);

// The first row of the skin table whose condition holds. screenHeight is asked anew for each
// row, as the full-screen client height may change meanwhile.
ToolbarSkin ChooseToolbarSkin(const std::function<int()>& screenHeight, int scalePercent);

// Which settings files one installation uses.
struct SettingsPlan {
    std::wstring installSettingsFile;  // install folder path + "p_moor32.ini"
    std::wstring activeSettingsFile;   // the file the viewer will use
    std::wstring settingsFolder;       // as given (or the silent default), unexpanded
    std::wstring expandedFolder;       // expanded, to be created; empty without settings folder
    bool useSettingsFolder = false;    // INI_Folder is written (else deleted)
    int portableLayout = 0;
};

// Decides the settings files. installFolderPath is the install folder trimmed and ending in a
// backslash; settingsFolder the chosen settings folder (ChooseSettingsFolder), empty when the
// settings stay in the install folder; expand resolves %NAME% references.
SettingsPlan PlanSettingsFiles(const std::wstring& installFolderPath,
                               const std::wstring& settingsFolder,
                               const std::function<std::wstring(const std::wstring&)>& expand);

// 1 when the active settings file lies in a portable layout ("Pixelmoor32_App" or
// "Pixelmoor64_App" in its path, case-sensitive) and a settings folder is used.
int PortableLayoutOf(const std::wstring& activeSettingsFile, bool useSettingsFolder);

// Header written behind the byte-order mark of the converted file.
constexpr std::wstring_view kUnicodeSettingsHeader = L"; UNICODE FILE - edit with care ;-)\r\n\r\n";

// The bytes of the UTF-16 form of an 8-bit settings file: byte-order mark FF FE, the header, and
// the whole content converted by toUtf16Le (8-bit ANSI text to UTF-16LE bytes) in one piece,
// so that NUL bytes, long lines and multi-byte characters all survive.
std::string BuildUnicodeSettingsFile(std::string_view ansiContent,
                                     const std::function<std::string(std::string_view)>& toUtf16Le);

// True when the bytes begin with the UTF-16 little-endian byte-order mark.
bool HasUtf16Bom(std::string_view bytes);

}  // namespace pm
