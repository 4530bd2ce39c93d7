#pragma once
// Where a POSIX user's own files go (the XDG base folders), and the data directory each user
// gets of their own when no settings value names one.

#include <string>

namespace kelvo::platform {

// $VARIABLE when it names an absolute folder (a relative one is ignored, as the XDG rules
// say), else $HOME followed by `underHome`; empty without either. UTF-8.
std::string XdgFolder(const char* variable, const char* underHome);

// The user's own data directory, $XDG_DATA_HOME/kelvo or ~/.local/share/kelvo, as the
// system names it (platform/file.h); empty when the user has no home.
std::string UserDataDirectory();

// The folder of feature tables installed with the program: share/kelvo beside the folder
// of the running program, as the system names it.
std::string InstalledDataDirectory();

// Copies every table of `installed`/BD that `own`/BD lacks into it, creating the folders;
// a table already there is never replaced. False when `own`/BD cannot be made.
bool FillDataDirectory(const std::string& installed, const std::string& own);

}  // namespace kelvo::platform
