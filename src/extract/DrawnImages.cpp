// SPDX-License-Identifier: GPL-2.0-or-later
#include "DrawnImages.h"

#include <algorithm>
#include <map>
#include <set>

#include <qpdf/QPDFPageObjectHelper.hh>

namespace extract {

namespace {

QPDFObjectHandle Entry(QPDFObjectHandle object, const std::string& key)
{
    return object.isDictionary() ? object.getKey(key) : QPDFObjectHandle::newNull();
}

// An indirect reference to no stream where one must be, or to no dictionary: to an object the
// file does not hold, or holds unreadable (libqpdf reads it as null), or holds cut (a stream
// cut before its data is a dictionary). A direct null, or a name nothing stands for, is no
// reference.
bool NoStream(QPDFObjectHandle object) { return object.isIndirect() && !object.isStream(); }
bool NoDictionary(QPDFObjectHandle object) { return object.isIndirect() && !object.isDictionary(); }

// A transfer function other than the identity: a function, or an array holding one.
bool ChangesTones(QPDFObjectHandle transfer)
{
    if (transfer.isNull() || transfer.isNameAndEquals("/Identity") || transfer.isNameAndEquals("/Default"))
        return false;
    if (transfer.isArray()) {
        for (QPDFObjectHandle item : transfer.getArrayAsVector())
            if (ChangesTones(item))
                return true;
        return false;
    }
    return true;
}

// What an ExtGState adds to the state in force, in the words a message uses; an entry it sets
// back to the identity takes its change away.
void ApplyExtGState(QPDFObjectHandle state, std::set<std::string>& changes)
{
    for (const char* key : {"/TR", "/TR2"}) {
        QPDFObjectHandle transfer = Entry(state, key);
        if (transfer.isNull())
            continue;
        if (ChangesTones(transfer))
            changes.insert("a transfer function (" + std::string(key) + ")");
        else
            changes.erase("a transfer function (" + std::string(key) + ")");
    }
    QPDFObjectHandle mask = Entry(state, "/SMask");
    if (mask.isDictionary())
        changes.insert("a soft mask (/SMask in /ExtGState)");
    else if (mask.isNameAndEquals("/None"))
        changes.erase("a soft mask (/SMask in /ExtGState)");
}

// Reads one content stream (a page's or a form's); forms it draws are read by a walker of
// their own, one level deeper, with the state in force at the `Do`.
class ContentWalker : public QPDFObjectHandle::ParserCallbacks {
public:
    ContentWalker(QPDFObjectHandle resources, std::set<std::string> changes, int depth,
                  std::vector<QPDFObjGen>& formsOpen, std::vector<DrawnImage>& drawn, bool& broken)
        : resources_(resources), changes_(std::move(changes)), depth_(depth), formsOpen_(formsOpen), drawn_(drawn),
          broken_(broken)
    {
        if (NoDictionary(resources_) || NoDictionary(Entry(resources_, "/XObject")))
            broken_ = true;
    }

    void handleObject(QPDFObjectHandle object) override
    {
        if (object.isInlineImage()) {
            drawn_.push_back({QPDFObjectHandle(), {}});
            operands_.clear();
            return;
        }
        if (!object.isOperator()) {
            operands_.push_back(object);
            return;
        }
        const std::string op = object.getOperatorValue();
        if (op == "q") {
            saved_.push_back(changes_);
        } else if (op == "Q") {
            if (!saved_.empty()) {
                changes_ = std::move(saved_.back());
                saved_.pop_back();
            }
        } else if (op == "gs" && !operands_.empty() && operands_.back().isName()) {
            ApplyExtGState(Entry(Entry(resources_, "/ExtGState"), operands_.back().getName()), changes_);
        } else if (op == "Do" && !operands_.empty() && operands_.back().isName()) {
            Draw(Entry(Entry(resources_, "/XObject"), operands_.back().getName()));
        }
        operands_.clear();
    }

    void handleEOF() override { }

private:
    void Draw(QPDFObjectHandle xobject)
    {
        if (NoStream(xobject))
            broken_ = true;
        if (!xobject.isStream())
            return;  // a name the resources do not hold paints nothing
        QPDFObjectHandle subtype = Entry(xobject.getDict(), "/Subtype");
        if (subtype.isNameAndEquals("/Image"))
            return Record(xobject);
        if (!subtype.isNameAndEquals("/Form") || depth_ >= kDeepestForm
            || std::find(formsOpen_.begin(), formsOpen_.end(), xobject.getObjGen()) != formsOpen_.end())
            return;
        // A form without resources of its own uses those in force where it is drawn.
        QPDFObjectHandle own = Entry(xobject.getDict(), "/Resources");
        if (NoDictionary(own))
            broken_ = true;
        formsOpen_.push_back(xobject.getObjGen());
        ContentWalker inner(own.isDictionary() ? own : resources_, changes_, depth_ + 1, formsOpen_, drawn_, broken_);
        QPDFPageObjectHelper(xobject).parseContents(&inner);
        formsOpen_.pop_back();
    }

    void Record(QPDFObjectHandle image)
    {
        auto found = std::find_if(drawn_.begin(), drawn_.end(), [&](const DrawnImage& d) {
            return d.image.isInitialized() && d.image.getObjGen() == image.getObjGen();
        });
        if (found == drawn_.end()) {
            drawn_.push_back({image, {}});
            found = drawn_.end() - 1;
        }
        for (const std::string& change : changes_)
            if (std::find(found->stateChanges.begin(), found->stateChanges.end(), change) == found->stateChanges.end())
                found->stateChanges.push_back(change);
    }

    QPDFObjectHandle resources_;
    std::set<std::string> changes_;
    std::vector<std::set<std::string>> saved_;
    std::vector<QPDFObjectHandle> operands_;
    int depth_;
    std::vector<QPDFObjGen>& formsOpen_;
    std::vector<DrawnImage>& drawn_;
    bool& broken_;
};

}  // namespace

std::vector<DrawnImage> DrawnImagesOf(QPDFObjectHandle page, bool& brokenReference)
{
    std::vector<DrawnImage> drawn;
    std::vector<QPDFObjGen> formsOpen;
    // The page's own resources are looked at here: where they are missing, the walk below takes
    // its parent's.
    QPDFObjectHandle contents = Entry(page, "/Contents");
    brokenReference = (NoStream(contents) && !contents.isArray()) || NoDictionary(Entry(page, "/Resources"));
    if (contents.isArray())
        for (QPDFObjectHandle part : contents.getArrayAsVector())
            if (NoStream(part))
                brokenReference = true;
    QPDFPageObjectHelper helper(page);
    // Resources may be inherited from the page tree.
    ContentWalker walker(helper.getAttribute("/Resources", false), {}, 0, formsOpen, drawn, brokenReference);
    helper.parseContents(&walker);
    return drawn;
}

}  // namespace extract
