// Shell links (.lnk) through the shell's COM link object, and the start-menu group.
#pragma once

#include <string>
#include <vector>

#include "shell/registration_plan.h"

namespace pm::win {

// The special folder's path ending in a backslash; the Windows directory when the shell
// cannot resolve the folder.
std::wstring ResolveSpecialFolder(int csidl);

// Saves `linkName` on the current user's desktop, or the all-users one with `allUsers`. Empty
// `iconPath`, `description` or `arguments` are not set. Returns 1 when the file was saved.
int CreateDesktopLink(const std::wstring& target, const std::wstring& linkName,
                      const std::wstring& iconPath, const std::wstring& description,
                      const std::wstring& arguments, int iconIndex, int allUsers);

// Saves the link `folder` + `linkName` (no description). Returns 1 when saved, else 0.
int CreateFolderLink(const std::wstring& folder, const std::wstring& linkName,
                     const std::wstring& target, const std::wstring& arguments,
                     const std::wstring& iconPath, int iconIndex);

// Carries out planned link operations in order; a failed link does not stop the others.
// Returns the result of the last link created (1 saved, 0 not), 0 when none was.
int ApplyLinkPlan(const std::vector<LinkOp>& links);

// Creates the group folder and its links; returns the result of the last link (the help link).
int CreateStartMenuGroup(const std::wstring& installFolderPath, int allUsers, const OsVersion& os);

}  // namespace pm::win
