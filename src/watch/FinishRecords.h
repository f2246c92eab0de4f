// SPDX-License-Identifier: GPL-2.0-or-later
// The watcher's state folder in OUT and the records it keeps there: a document is made there
// first, a record that it is finished is put on disk, and only then does the document take its
// name in OUT and do its sources leave the watched folder. A record is dropped once its sources
// are gone, so one found at start names a document to complete, never to make again.
//
// The state folder lies in OUT, so a pending document is renamed into OUT on one file system, and
// a watcher that writes somewhere else keeps records of its own. Each record is a file of its
// own, written whole (a new file that takes its name once on disk): nothing to append, compact
// or find torn. Plain C++ and POSIX.
#pragma once

#include <string>
#include <vector>

namespace watch {

// The state folder's name in OUT: hidden, so no one takes it for a document.
inline constexpr const char* kStateFolderName = ".leafbind-watch";

struct FinishRecord {
    enum class Stage {
        Written,  // the document is complete in the state folder or already named in OUT
        Copied,  // the sources are copied whole into the archive's temporary folder (another file system)
    };
    std::string id;  // the record's and its pending document's name in the state folder, without extension
    std::string entry;  // the entry's name in IN
    std::string document;  // the name the document wants in OUT ("box-3.pdf"); " (2)" when taken
    Stage stage = Stage::Written;
};

class StateFolder {
public:
    StateFolder() = default;
    ~StateFolder();
    StateFolder(const StateFolder&) = delete;
    StateFolder& operator=(const StateFolder&) = delete;

    // Makes the state folder in `out` when missing and locks it, so two watchers never share
    // one OUT. False with `error` (a message naming what failed).
    bool Open(const std::string& out, std::string& error);

    const std::string& Path() const { return path_; }
    // A new id, one no record or pending document holds.
    std::string NewId();
    // Where the document of record `id` is made.
    std::string PendingDocument(const std::string& id) const;

    // Puts the record on disk (the file and the folder synced) before returning. False with errno.
    bool Write(const FinishRecord& record);
    // Every record, oldest first; one that cannot be read is named in `unreadable`.
    std::vector<FinishRecord> Records(std::vector<std::string>& unreadable) const;
    // Removes the record and syncs the folder.
    bool Drop(const std::string& id);
    // Removes what an interrupted run left without a record: pending documents and temporaries.
    void RemoveLeftovers();

private:
    std::string path_;
    int folderFd_ = -1;
    unsigned serial_ = 0;
};

enum class SourcesGo { Archive, Remove };

struct Places {
    std::string in, out, archive;  // archive empty with SourcesGo::Remove
    SourcesGo sourcesGo = SourcesGo::Archive;
};

// The name `name` takes in a folder where it is taken: "scan (2).jpg", "box-3 (2)" (a folder's
// name keeps its dots), "box-3 (3).pdf".
std::string NumberedName(const std::string& name, bool keepsExtension, int number);

struct Completion {
    std::string document;  // the name the document has in OUT; empty when it was named before
    std::string archived;  // the name the sources have in the archive; empty when removed or gone before
    std::string error;  // what failed, a message; empty when the record is dropped
};

// Completes `record`, each step at most once however often it is interrupted: the pending
// document takes a free name in OUT (OUT synced), the sources move to the archive (renamed, or
// across file systems copied whole and synced, then removed) or are removed, and the record is
// dropped.
Completion Complete(StateFolder& state, const Places& places, FinishRecord record);

// Removes `path` and everything in it, never following a link. False with errno.
bool RemoveTree(const std::string& path);

}  // namespace watch
