// Process exit codes of silent mode. Each failure code equals the number of the string-table
// message that the install log receives for it.
#pragma once

namespace pm {

enum ExitCode : int {
    kExitSuccess = 0,
    kExitInvalidFolder = 5,      // string 5: empty or unusable target folder
    kExitExtractionFailed = 7,   // string 7: the payload could not be installed
    kExitViewerRunning = 10,     // string 10: the viewer is running
    kExitFolderNotCreated = 11,  // string 11: the target folder cannot be created
};

}  // namespace pm
