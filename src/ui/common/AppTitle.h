// SPDX-License-Identifier: GPL-2.0-or-later
// Names the program shows about itself.
#pragma once

inline constexpr const char* kApplicationTitle = "Export JPG images to PDF file";
inline constexpr const char* kProductCaption = "Leafbind 1.0";
