// Desktop services that record what the program asks for and answer the
// confirmation as the test says, so that no dialog ever blocks a test.
#pragma once

#include "shell/desktop.hpp"

#include <QStringList>
#include <QUrl>
#include <deque>
#include <vector>

namespace quorvel::test {

struct DesktopLog {
    using SaveAnswer = DesktopServices::SaveAnswer;
    std::vector<QUrl> opened;
    QStringList messages;
    QStringList errors;
    QStringList confirmations;
    bool answer = true;
    SaveAnswer saveAnswer = SaveAnswer::Discard;
    QStringList saveQuestions;
    using InterruptedAnswer = DesktopServices::InterruptedAnswer;
    using InterruptedChoices = DesktopServices::InterruptedChoices;
    // The answers to the questions about interrupted runs, in turn; once they are
    // used up, `interruptedAnswer`.
    std::deque<InterruptedAnswer> interruptedAnswers;
    InterruptedAnswer interruptedAnswer = InterruptedAnswer::Leave;
    QStringList interruptedQuestions;
    std::vector<InterruptedChoices> interruptedChoices; // what each question offered
    QString openFileName;
    QString saveFileName;
    QStringList dialogFolders; // where each file dialog started
    QStringList dialogFilters; // and its filter
};

class RecordingDesktop : public DesktopServices {
public:
    explicit RecordingDesktop(DesktopLog& log) : log_(log) {}
    bool OpenUrl(const QUrl& url) override {
        log_.opened.push_back(url);
        return true;
    }
    SaveAnswer AskToSave(QWidget*, const QString& text) override {
        log_.saveQuestions.push_back(text);
        return log_.saveAnswer;
    }
    InterruptedAnswer AskAboutInterruptedRun(QWidget*, const QString& text,
                                             InterruptedChoices offered) override {
        log_.interruptedQuestions.push_back(text);
        log_.interruptedChoices.push_back(offered);
        if (log_.interruptedAnswers.empty()) {
            return log_.interruptedAnswer;
        }
        const InterruptedAnswer answer = log_.interruptedAnswers.front();
        log_.interruptedAnswers.pop_front();
        return answer;
    }
    void ShowMessage(QWidget*, const QString& text) override { log_.messages.push_back(text); }
    void ShowError(QWidget*, const QString& text) override { log_.errors.push_back(text); }
    bool Confirm(QWidget*, const QString& title, const QString& text) override {
        log_.confirmations.push_back(title + QLatin1Char('|') + text);
        return log_.answer;
    }
    QString OpenFileName(QWidget*, const QString& folder, const QString& filter) override {
        log_.dialogFolders.push_back(folder);
        log_.dialogFilters.push_back(filter);
        return log_.openFileName;
    }
    QString SaveFileName(QWidget*, const QString& folder, const QString& filter) override {
        log_.dialogFolders.push_back(folder);
        log_.dialogFilters.push_back(filter);
        return log_.saveFileName;
    }

private:
    DesktopLog& log_;
};

// Installs a RecordingDesktop for the lifetime of the object.
class ScopedDesktop {
public:
    ScopedDesktop() { previous_ = SetDesktop(std::make_unique<RecordingDesktop>(log)); }
    ~ScopedDesktop() { SetDesktop(std::move(previous_)); }
    ScopedDesktop(const ScopedDesktop&) = delete;
    ScopedDesktop& operator=(const ScopedDesktop&) = delete;
    DesktopLog log;

private:
    std::unique_ptr<DesktopServices> previous_;
};

} // namespace quorvel::test
