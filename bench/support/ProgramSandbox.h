// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A throw-away device for one headless run of the program: a temporary folder that
// stands for the device root, holds the settings file and the single-instance socket,
// and is removed with everything in it when the sandbox goes.

#include <string>
#include <vector>

class ProgramSandbox
{
public:
    ProgramSandbox();
    ~ProgramSandbox();
    ProgramSandbox(const ProgramSandbox&) = delete;
    ProgramSandbox& operator=(const ProgramSandbox&) = delete;

    bool IsValid() const { return !m_folder.empty(); }
    const std::string& Folder() const { return m_folder; }
    // NAME=VALUE settings that point the program at the sandbox, offscreen.
    std::vector<std::string> Environment() const;

private:
    std::string m_folder;
};
