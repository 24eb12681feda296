#pragma once
// The program's folder with a trailing "/": the prefix of every file of the program.
// It is the folder of the executable; tests point it at a temporary folder.
#include <string>

const std::string& AppPath();
void SetAppPath(const std::string& folder);
// Sets AppPath from the running executable's location.
void SetAppPathFromExecutable();
