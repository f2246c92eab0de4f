// SPDX-License-Identifier: GPL-2.0-or-later
// The paths behind the list's items. A path is bytes on Linux, and not every name is valid UTF-8,
// so each item keeps the exact bytes it came with (from a list file, a dialog or a drop); its text
// only shows them. Everything that opens a file (export, preview, Save list) takes the bytes.
#pragma once

#include <QByteArray>

#include <string>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QString;

// Inserts an item for path at row (appends when row is negative or past the end).
void InsertPath(QListWidget& list, int row, const QByteArray& path);

// The bytes an item was made with; an item made from text alone gives its text in the file
// name encoding.
QByteArray PathOf(const QListWidgetItem& item);

// Every item's path, in list order.
std::vector<std::string> PathsOf(const QListWidget& list);

// The file name encoding's text for path, for showing it (undecodable bytes show as U+FFFD).
QString ShownPath(const QByteArray& path);
