// SPDX-License-Identifier: GPL-2.0-or-later
// The file dialogs answer with text, and text has already lost the bytes of a name that is not
// valid in the file name encoding (each such byte shows as U+FFFD). These recover the bytes.
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

// The bytes of the file the dialog meant by chosen: its text in the file name encoding when that
// names something; otherwise, folder by folder from the root, the one entry whose name shows as
// that part of chosen. A part no entry matches, or more than one does (two names that differ only
// in undecodable bytes), is kept in the file name encoding: a new name typed into a save dialog.
QByteArray DialogPathBytes(const QString& chosen);

// DialogPathBytes of each, in order.
QList<QByteArray> DialogPathsBytes(const QStringList& chosen);
