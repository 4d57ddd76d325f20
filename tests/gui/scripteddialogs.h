#pragma once
// Answers the program's dialogs from queues filled by the test, and records
// every message shown.
#include "app/dialogs.h"
#include <QDialog>

#include <QStringList>

#include <deque>
#include <functional>

class ScriptedDialogs final : public Dialogs {
public:
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<std::optional<Colour>> colourAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    // Each drives one shown dialog of the program (script, search) through
    // its widgets, as a user would; a dialog the driver leaves open is
    // closed like the close box.
    std::deque<std::function<void(QDialog&)>> modalDrivers;
    // Answers to "Save changes to NAME?"; none queued: counted as unexpected
    // and answered Cancel, so an unforeseen question loses nothing.
    std::deque<SaveChangesAnswer> saveChangesAnswers;
    QStringList saveChangesQuestions;
    InputRequest lastInput;
    QStringList messages;
    FileDialogOptions lastOpen;
    FileDialogOptions lastSave;
    int unexpected = 0; // dialogs asked for with no answer queued

    std::optional<QString> openFileName(QWidget*, const FileDialogOptions& options) override
    {
        lastOpen = options;
        return next(openAnswers);
    }
    std::optional<QString> saveFileName(QWidget*, const FileDialogOptions& options) override
    {
        lastSave = options;
        return next(saveAnswers);
    }
    void showMessage(QWidget*, const QString& text) override { messages << text; }
    std::optional<Colour> chooseColour(QWidget*, Colour) override { return next(colourAnswers); }
    std::optional<QString> inputBox(TInputForm&, const InputRequest& request) override
    {
        lastInput = request;
        return next(inputAnswers);
    }

    SaveChangesAnswer askSaveChanges(QWidget*, const SaveChangesQuestion& question) override
    {
        saveChangesQuestions << question.text;
        if (saveChangesAnswers.empty()) {
            ++unexpected;
            return SaveChangesAnswer::Cancel;
        }
        const SaveChangesAnswer answer = saveChangesAnswers.front();
        saveChangesAnswers.pop_front();
        return answer;
    }

    template <typename Dialog>
    void drive(std::function<void(Dialog&)> driver)
    {
        modalDrivers.push_back([driver](QDialog& d) { driver(static_cast<Dialog&>(d)); });
    }
    void runModal(QDialog& dialog) override
    {
        if (modalDrivers.empty()) {
            ++unexpected;
            return;
        }
        const std::function<void(QDialog&)> driver = std::move(modalDrivers.front());
        modalDrivers.pop_front();
        dialog.show();
        driver(dialog);
        if (dialog.isVisible())
            dialog.reject();
    }

private:
    template <typename T>
    std::optional<T> next(std::deque<std::optional<T>>& queue)
    {
        if (queue.empty()) {
            ++unexpected;
            return std::nullopt;
        }
        std::optional<T> answer;
        answer.swap(queue.front());
        queue.pop_front();
        return answer;
    }
};
