#include <algorithm>

#include "script/script_run.h"

namespace kiosk {

namespace {

std::int64_t Length(std::string_view bytes) {
    return static_cast<std::int64_t>(bytes.size());
}

// The 0-based offset at which the text is cut before the 1-based position: positions below 1 cut
// before the first byte, positions past the end after the last.
std::int64_t CutBefore(const ScriptRun& run, std::int64_t position) {
    return std::clamp<std::int64_t>(position - 1, 0, run.text.size());
}

// The text becomes the bytes before position from, then bytes, then the bytes from position rest on
// (all 1-based). When rest lies before from, the bytes between them appear twice, as cutting and
// joining the two pieces gives.
void Splice(ScriptRun& run, std::int64_t from, std::string_view bytes, std::int64_t rest) {
    const std::int64_t cut = CutBefore(run, from);
    const std::int64_t resume = CutBefore(run, rest);
    if (resume >= cut) {
        run.text.Replace(cut, resume - cut, bytes);
        return;
    }
    const std::string joined = std::string(bytes) + run.text.Copy(resume, cut - resume);
    run.text.Replace(cut, 0, joined);
}

}  // namespace

void DeleteSelection(ScriptRun& run) {
    const std::int64_t length = run.selectionLength;
    if (length == 0 || run.matchPos < 1) return;
    Splice(run, run.matchPos, {}, run.matchPos + length);
    if (run.matchPos + length <= run.cursor) run.cursor -= length;
    if (run.matchPos + length <= run.searchEnd) run.searchEnd -= length;
    if (run.matchPos == run.tagStart) run.ClearTag();
    run.selectionLength = 0;
}

void ReplaceSelection(ScriptRun& run, std::string_view bytes) {
    if (run.searchResult <= 0) return;
    if (run.matchPos == run.tagStart) run.ClearTag();
    Splice(run, run.matchPos, bytes, run.matchPos + run.selectionLength);
    run.selectionLength = Length(bytes);
}

void InsertAtMatch(ScriptRun& run, std::string_view bytes) {
    Splice(run, run.matchPos, bytes, run.matchPos);
    run.selectionLength = Length(bytes);
    run.cursor = run.matchPos + Length(bytes);
}

void AddAtCursor(ScriptRun& run, std::string_view bytes) {
    Splice(run, run.cursor, bytes, run.cursor);
    run.selectionLength = Length(bytes);
    run.matchPos = run.cursor;
    run.cursor += Length(bytes);
}

void StripTag(ScriptRun& run) {
    if (run.tagLength == 0 || run.tagStart <= 0 || run.tagEnd <= 0 || run.selectionLength == 0 ||
        run.matchPos <= 0) {
        run.searchResult = 0;
        return;
    }
    // Keeps what lies between the opening tag and the selection; drops both and anything up to the
    // cursor.
    const std::int64_t innerStart = std::min(run.tagEnd, run.text.size());
    const std::int64_t innerEnd = std::clamp(run.matchPos - 1, innerStart, run.text.size());
    const std::string inner = run.text.Copy(innerStart, innerEnd - innerStart);
    const std::int64_t start = run.tagStart;
    Splice(run, start, inner, run.cursor);
    run.searchResult = run.matchPos = start;
    run.selectionLength = Length(inner);
    run.cursor = start + Length(inner);
    run.ClearTag();
}

void MoveCursor(ScriptRun& run, std::int64_t position) {
    run.cursor = position;
    run.selectionLength = 0;
    run.ClearTag();
}

}  // namespace kiosk
