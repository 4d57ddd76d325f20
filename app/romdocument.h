#pragma once
// The documents whose bytes the windows show: the ROM image and the workspace
// buffer. A document is the only owner of its bytes, their edit history and
// the point at which they were last saved, and `edit` is the only way to
// change them, so no write can forget its undo step or the modified state.
//
// A document never redraws anything: the command that edits tells the windows
// what to redraw, in its own order. The change listener is there for what
// follows the state itself (the title's "*", the Undo and Redo items).
#include "app/edithistory.h"
#include "app/romimage.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>

// Bytes an edit may write: cut to the buffer, empty ones ignored.
struct EditRange {
    std::int64_t offset = 0;
    std::int64_t length = 0;
};

class ByteDocument {
public:
    // Gets the whole buffer; writes only inside the ranges given with it.
    using Write = std::function<void(std::span<std::uint8_t>)>;

    explicit ByteDocument(std::size_t historyBudget = kEditHistoryBudget) : history_(historyBudget) {}
    ByteDocument(const ByteDocument&) = delete;
    ByteDocument& operator=(const ByteDocument&) = delete;

    // Reading: the bytes as they are; anything that reads a byte buffer takes
    // the document itself.
    [[nodiscard]] const RomBytes& bytes() const { return bytes_; }
    operator const RomBytes&() const { return bytes_; }
    operator std::span<const std::uint8_t>() const { return bytes_; }
    [[nodiscard]] std::size_t size() const { return bytes_.size(); }
    [[nodiscard]] bool empty() const { return bytes_.empty(); }
    [[nodiscard]] const std::uint8_t* data() const { return bytes_.data(); }
    [[nodiscard]] RomBytes::const_iterator begin() const { return bytes_.begin(); }
    [[nodiscard]] RomBytes::const_iterator end() const { return bytes_.end(); }
    const std::uint8_t& operator[](std::size_t i) const { return bytes_[i]; }

    // The one way to change bytes: notes the ranges, runs `write`, and keeps
    // the bytes that changed as one undo step called `name` (a language key
    // where one names the command). True when a byte changed; a write that
    // changes nothing leaves the history and the modified state alone.
    // Inside an open step (below) the write joins that step and counts as a
    // change; what really changed is known when the step ends.
    bool edit(const std::string& name, std::span<const EditRange> ranges, const Write& write);
    bool edit(const std::string& name, std::initializer_list<EditRange> ranges, const Write& write)
    {
        return edit(name, std::span<const EditRange>(ranges.begin(), ranges.size()), write);
    }

    // Several edits that make one step, such as a paint stroke from press to
    // release. `endStep` records it (true when a byte changed); an undo or a
    // redo ends it first, so does a save; a reset or a resize in between
    // drops it.
    void beginStep(const std::string& name);
    bool endStep();
    [[nodiscard]] bool stepOpen() const { return openStep_.has_value(); }

    bool undo();
    bool redo();
    [[nodiscard]] bool canUndo() const { return history_.canUndo(); }
    [[nodiscard]] bool canRedo() const { return history_.canRedo(); }
    [[nodiscard]] std::string undoName() const { return history_.undoName(); }
    [[nodiscard]] std::string redoName() const { return history_.redoName(); }
    [[nodiscard]] const EditHistory& history() const { return history_; }

    // Modified: the history stands elsewhere than where it stood at the last
    // save, load or reload. Once the steps back to that point are dropped by
    // the budget or cut off by a new edit after an undo, only a save clears it.
    [[nodiscard]] bool modified() const { return savedPosition_ != history_.position(); }
    void markSaved();

    // New bytes (a load, a reload): an empty history, not modified.
    void reset(RomBytes bytes);
    // The whole content replaced by a command (a patch applied): one undo
    // step while the size stays. A new size cannot be undone across, so it
    // empties the history and the image counts as modified until saved.
    // True when a byte or the size changed.
    bool replaceAll(const std::string& name, RomBytes bytes);
    // A new size (the workspace follows the data map grid): bytes kept up to
    // it, new ones zero. A real change of size empties the history, whose
    // steps were recorded on the old layout, and the bytes count as modified.
    void resize(std::size_t size);

    // Called after every change of the bytes, the history or the saved point.
    void setChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

protected:
    // Exchanges everything but the change listeners, which stay with the
    // objects the windows listen to; both listeners are told.
    void swapContents(ByteDocument& other);

private:
    void changed() const
    {
        if (listener_)
            listener_();
    }
    struct OpenStep {
        std::string name;
        EditSnapshot snapshot;
    };

    RomBytes bytes_;
    EditHistory history_;
    std::optional<std::uint64_t> savedPosition_ = history_.position();
    std::optional<OpenStep> openStep_;
    std::function<void()> listener_;
};

// The ROM image with the file it came from.
class RomDocument : public ByteDocument {
public:
    using ByteDocument::ByteDocument;

    [[nodiscard]] const std::string& fileName() const { return fileName_; } // UTF-8 path
    // Open: the file's bytes under its name.
    void open(RomBytes bytes, std::string fileName);
    // Written under `fileName` (Save, Save As).
    void savedAs(std::string fileName);
    // Bytes, history, saved point and file name exchanged with `other`: a
    // compressed block takes the ROM image's place in the windows this way.
    void swap(RomDocument& other);

private:
    std::string fileName_;
};
