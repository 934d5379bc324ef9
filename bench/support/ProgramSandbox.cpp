// SPDX-License-Identifier: GPL-2.0-or-later
#include "ProgramSandbox.h"

#include <filesystem>
#include <system_error>

#include <cstdlib>

namespace {

constexpr char kTemplate[] = "vellumdeck-bench-XXXXXX";

}  // namespace

ProgramSandbox::ProgramSandbox()
{
    std::string path = (std::filesystem::temp_directory_path() / kTemplate).string();
    if (mkdtemp(path.data()) == nullptr)
        return;
    std::error_code error;
    std::filesystem::create_directory(path + "/device", error);
    if (!error)
        m_folder = path;
    else
        std::filesystem::remove(path, error);
}

ProgramSandbox::~ProgramSandbox()
{
    std::error_code ignored;
    if (IsValid())
        std::filesystem::remove_all(m_folder, ignored);
}

std::vector<std::string> ProgramSandbox::Environment() const
{
    return {
        "VELLUMDECK_ROOT=" + m_folder + "/device",
        "VELLUMDECK_REGISTRY=" + m_folder + "/registry.ini",
        // The single-instance socket lands here rather than in the shared /tmp.
        "TMPDIR=" + m_folder,
        "QT_QPA_PLATFORM=offscreen",
    };
}
