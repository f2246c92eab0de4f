// SPDX-License-Identifier: GPL-2.0-or-later
// A fresh folder under the system's temporary folder, removed with everything in it at scope end.
#pragma once

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path of a file or folder inside this folder.
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Writes bytes to a file inside this folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    // Copies a file from the shared test data folder (read-only in CI) into this folder.
    std::string CopyTestData(const std::string& relativePath) const;

private:
    std::string path_;
};

// Whole contents of a file; throws std::runtime_error when it cannot be read.
std::string ReadFileBytes(const std::string& path);
