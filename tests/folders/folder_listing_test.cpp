// SPDX-License-Identifier: GPL-2.0-or-later
// A folder's pictures: which entries are taken, which skipped and how counted, and their order.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <string>
#include <vector>

#include "FolderListing.h"
#include "MakeJpeg.h"
#include "MakePng.h"
#include "TempDir.h"

namespace {

// Names as a person expects them sorted; each row is its own folder of these names, shuffled.
struct OrderRow {
    const char* catches;
    std::vector<std::string> sorted;
};

const OrderRow kOrderRows[] = {
    {"digit runs compared as text", {"IMG_2.jpg", "IMG_10.jpg", "IMG_100.jpg"}},
    {"a longer run of leading zeros wins over its value", {"p1.jpg", "p02.jpg", "p3.jpg", "p10.jpg"}},
    {"case decides before the rest", {"a2.jpg", "B1.jpg", "c3.jpg"}},
    {"equal by value but different bytes lost or merged", {"IMG_02.jpg", "IMG_2.jpg", "img_2.jpg"}},
    {"a name without a number not first", {"scan.jpg", "scan2.jpg", "scan10.jpg"}},
    {"digits past 64 bits overflow", {"n99999999999999999999.jpg", "n100000000000000000000.jpg"}},
    {"bytes beyond ASCII taken as signed", {"z.jpg", "\xC3\xA9t\xC3\xA9.jpg"}},
};

TEST(FolderListing, PicturesComeInNaturalOrder)
{
    const std::string jpeg = MakeJpeg({});
    for (const OrderRow& row : kOrderRows) {
        TempDir dir;
        for (size_t i = row.sorted.size(); i-- > 0;)
            dir.Write(row.sorted[(i * 7 + 3) % row.sorted.size()], jpeg);
        EXPECT_EQ(folders::ListFolder(dir.Path()).pictures, row.sorted) << row.catches;
    }
}

// One entry in an otherwise empty folder, and where it must land.
struct EntryRow {
    const char* catches;
    const char* name;
    enum Make { Jpeg, Png, Tiff, Text, Gif, Empty, Fifo, Folder, LinkToJpeg, LinkToFolder, BrokenLink } make;
    bool followLinks;
    int pictures, folders, hidden, notPictures, unreadable;
};

const EntryRow kEntryRows[] = {
    {"a JPEG not taken", "a", EntryRow::Jpeg, true, 1, 0, 0, 0, 0},
    {"a PNG not taken", "b.dat", EntryRow::Png, true, 1, 0, 0, 0, 0},
    {"a TIFF not taken", "scan", EntryRow::Tiff, true, 1, 0, 0, 0, 0},
    {"a file taken by its name", "c.jpg", EntryRow::Text, true, 0, 0, 0, 1, 0},
    {"a kind the export refuses taken", "d.gif", EntryRow::Gif, true, 0, 0, 0, 1, 0},
    {"an empty file read past its end", "e.jpg", EntryRow::Empty, true, 0, 0, 0, 1, 0},
    {"a FIFO opened and waited on", "f.jpg", EntryRow::Fifo, true, 0, 0, 0, 1, 0},
    {"a hidden picture taken", ".g.jpg", EntryRow::Jpeg, true, 0, 0, 1, 0, 0},
    {"a hidden folder listed", ".thumbs", EntryRow::Folder, true, 0, 0, 1, 0, 0},
    {"a sub-folder lost", "box-1", EntryRow::Folder, true, 0, 1, 0, 0, 0},
    {"a link to a picture not followed", "h.jpg", EntryRow::LinkToJpeg, true, 1, 0, 0, 0, 0},
    {"a link followed when links are not", "h.jpg", EntryRow::LinkToJpeg, false, 0, 0, 0, 1, 0},
    {"a link to a folder followed (circles)", "loop", EntryRow::LinkToFolder, true, 0, 0, 0, 1, 0},
    {"a broken link taken", "gone.jpg", EntryRow::BrokenLink, true, 0, 0, 0, 0, 1},
};

TEST(FolderListing, EachEntryIsTakenOrCountedOnce)
{
    const std::string jpeg = MakeJpeg({});
    for (const EntryRow& row : kEntryRows) {
        TempDir dir;
        TempDir beside;
        const std::string path = dir.File(row.name);
        switch (row.make) {
        case EntryRow::Jpeg: dir.Write(row.name, jpeg); break;
        case EntryRow::Png: dir.Write(row.name, MakePng({}).file); break;
        case EntryRow::Tiff: dir.Write(row.name, std::string("II*\0\x08\0\0\0", 8)); break;
        case EntryRow::Text: dir.Write(row.name, "\xFF\xD8 is how a JPEG starts\n"); break;
        case EntryRow::Gif: dir.Write(row.name, "GIF89a\x01\x00\x01\x00\x00\x00\x00;"); break;
        case EntryRow::Empty: dir.Write(row.name, ""); break;
        case EntryRow::Fifo: ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); break;
        case EntryRow::Folder: ASSERT_EQ(mkdir(path.c_str(), 0700), 0); break;
        case EntryRow::LinkToJpeg: ASSERT_EQ(symlink(beside.Write("p.jpg", jpeg).c_str(), path.c_str()), 0); break;
        case EntryRow::LinkToFolder: ASSERT_EQ(symlink(dir.Path().c_str(), path.c_str()), 0); break;
        case EntryRow::BrokenLink: ASSERT_EQ(symlink(beside.File("none.jpg").c_str(), path.c_str()), 0); break;
        }
        const folders::FolderListing got = folders::ListFolder(dir.Path(), {row.followLinks});
        EXPECT_EQ(got.systemError, 0) << row.catches;
        EXPECT_EQ(static_cast<int>(got.pictures.size()), row.pictures) << row.catches;
        EXPECT_EQ(static_cast<int>(got.folders.size()), row.folders) << row.catches;
        EXPECT_EQ(got.hidden, row.hidden) << row.catches;
        EXPECT_EQ(got.notPictures, row.notPictures) << row.catches;
        EXPECT_EQ(got.unreadable, row.unreadable) << row.catches;
    }
}

TEST(FolderListing, AFolderThatCannotBeOpenedSaysWhy)
{
    TempDir dir;
    EXPECT_EQ(folders::ListFolder(dir.File("missing")).systemError, ENOENT);
    EXPECT_EQ(folders::ListFolder(dir.Write("file", "x")).systemError, ENOTDIR);
}

}  // namespace
