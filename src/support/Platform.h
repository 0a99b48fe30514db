// Program folder, documents folder and other facts of the machine the program runs on.
#pragma once

#include <string>

namespace ploxen {

/// Folder of the running executable, without a trailing "/".
std::string ProgramFolder();
/// Overrides the program folder (tests and the program entry).
void SetProgramFolder(const std::string& folder);
/// Base name of the executable without extension ("ploxen").
std::string ProgramName();
/// Full path of a companion program beside the executable: `fileName` ("Oskelund.exe") in the
/// program folder, else the same name without ".exe"; empty when neither is an executable file.
std::string CompanionProgramPath(const std::string& fileName);

}  // namespace ploxen
