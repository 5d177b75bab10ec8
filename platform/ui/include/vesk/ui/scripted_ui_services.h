#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "vesk/ui/ui_services.h"

namespace vesk::ui {

// A message box as the scripted services saw it; the title is the one shown.
struct RecordedMessageBox {
    std::string text;
    int flags;
    std::string title;

    bool operator==(const RecordedMessageBox&) const = default;
};

// An open-file dialog as the scripted services saw it.
struct RecordedOpenFile {
    int flags;
    std::string filter;

    bool operator==(const RecordedOpenFile&) const = default;
};

// Services for tests: record every message box and dialog in order, answer them from queues,
// keep the clipboard in memory and count the event pumps.
class ScriptedUiServices : public UiServices {
public:
    // Queues the answer of a later message box; boxes beyond the queue get their default.
    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    // Queues the path a later open-file dialog chooses ("" cancels); dialogs beyond the queue
    // are cancelled.
    void QueueOpenFile(const std::string& path) { m_openFiles.push_back(path); }
    // Runs `hook` inside every DoEvents, as a user's action would during a pump.
    void SetEventPumpHook(std::function<void()> hook) { m_eventPumpHook = std::move(hook); }

    const std::vector<RecordedMessageBox>& MessageBoxes() const { return m_messageBoxes; }
    const std::vector<RecordedOpenFile>& OpenFileRequests() const { return m_openFileRequests; }
    int EventPumpCount() const { return m_eventPumpCount; }
    // Answers and paths queued but not used yet.
    std::size_t PendingAnswers() const { return m_answers.size(); }
    std::size_t PendingOpenFiles() const { return m_openFiles.size(); }

    picture::Picture GetClipboardPicture() override { return m_clipboard; }
    void SetClipboardPicture(const picture::Picture& picture) override { m_clipboard = picture; }
    void ClearClipboard() override { m_clipboard = picture::Picture(); }
    OpenFileResult OpenFile(int flags, const std::string& filter) override;
    void DoEvents() override;

protected:
    int ShowMessageBox(const std::string& text, int flags, const std::string& title) override;

private:
    std::deque<int> m_answers;
    std::deque<std::string> m_openFiles;
    std::function<void()> m_eventPumpHook;
    std::vector<RecordedMessageBox> m_messageBoxes;
    std::vector<RecordedOpenFile> m_openFileRequests;
    int m_eventPumpCount = 0;
    picture::Picture m_clipboard;
};

}  // namespace vesk::ui
