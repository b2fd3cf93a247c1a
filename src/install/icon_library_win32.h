// Reading the installed icon library's version and maker, and the Win32 side of the rule that
// decides whether it is overwritten.
#pragma once

#include <cstdint>
#include <string>

namespace pm {

// 1 when the file's fixed version information could be read: versionText then holds
// "%d.%d%d" (Part of the product and file versions) and, when company is given, *company the
// US-English CompanyName (empty when missing), cut to companyLength - 1 characters. 0 when the
// file is missing, has no version resource, version.dll or one of its entries is not available,
// or memory is short; the outputs are then empty. version.dll is loaded by its full path in the
// system directory and looked up at run time.
int ReadVersionAndCompany(const std::wstring& path, std::wstring& versionText,
                          std::wstring* company, std::size_t companyLength);

// Size of the file in bytes; 0 for an empty path or a file that cannot be opened.
std::uint64_t QueryFileSize(const std::wstring& path);

// Creates "Plugins" in the target folder (which ends in a backslash) and decides whether the
// icon library there stays: 1 keeps it (skip the payload's copy), 0 lets it be written.
int DecideIconLibraryRule(const std::wstring& targetFolder);

}  // namespace pm
