#pragma once

#include <string>

// The client installer's own log: the temporary folder + "OrmelVosselInstaller.LOG", computed on
// first use. Whether the file exists is not checked.
std::wstring getInstallerLogPath();

// The newest Windows Installer log of the client's installation in the temporary folder; empty
// when there is none.
std::wstring findInstallerMsiLog();
