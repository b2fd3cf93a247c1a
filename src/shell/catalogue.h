// The fixed table of file types the viewer can be associated with. A row's index is the same
// everywhere: item of the file-type list, entry of the selection array, order of registration.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "install/install_options.h"

namespace pm {

// What a registered class's "DefaultIcon" names.
enum class IconSource {
    FileItself,  // "%1": the file is its own icon
    Viewer0,     // "<executable>,0"
    Viewer9,     // "<executable>,9" (video)
    Viewer8,     // "<executable>,8" (audio)
};

// One registered extension (lower case, no dot) and the suffix of its class "Pixelmoor.<suffix>".
struct RegisteredExtension {
    const wchar_t* extension;
    const wchar_t* classSuffix;
};

struct FileTypeRow {
    const wchar_t* extensionList;  // upper case, "/"-separated: the list's item text
    const wchar_t* description;    // ends in " *" when the viewer reads the type via a plug-in
    bool plugIn;
    std::span<const RegisteredExtension> extensions;  // in registration order
    IconSource icon;
};

constexpr int kFileTypeRows = 62;
constexpr int kFileTypeImageRows = 48;  // rows 0..47 are images, 48..61 other media
static_assert(kFileTypeImageRows == kImageTypeRows);
static_assert(kFileTypeRows + 1 == kTypeSelectionSize, "the selection has one spare entry");

// The catalogue, rows 0..61.
std::span<const FileTypeRow, kFileTypeRows> FileTypeCatalogue();

}  // namespace pm
