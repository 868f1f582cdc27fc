// The main window's question at start-up about the runs left in the middle. Each
// run is named by its folder, the time it began and what its folder holds of it
// now; whatever the answer, it acts on that run alone.
#include "files/history/recorded_runs.hpp"
#include "files/run/journal_store.hpp"
#include "files/text/shown_name.hpp"
#include "shell/desktop.hpp"
#include "shell/main_window.hpp"
#include "shell/messages.hpp"
#include "shell/rename_controller.hpp"

#include <QDateTime>
#include <QStringList>
#include <algorithm>
#include <set>

namespace quorvel {

namespace {

using Answer = DesktopServices::InterruptedAnswer;
using Choices = DesktopServices::InterruptedChoices;

// So many journals left out are named in the message; the rest are counted.
constexpr std::size_t kWarningsShown = 10;

QString BegunText(std::int64_t begun) {
    return QDateTime::fromSecsSinceEpoch(begun).toLocalTime().toString(messages::InterruptedRunDate());
}

QString Question(const InterruptedRun& run) {
    QStringList lines{messages::InterruptedRun(QString::fromStdString(Quoted(run.folder.Bytes())),
                                               BegunText(run.begun), run.renamed, run.files)};
    if (run.temporary > 0) {
        lines.push_back(messages::UnderTemporaryName(run.temporary));
    }
    if (!run.folderThere) {
        lines.push_back(messages::InterruptedFolderGone());
        lines.push_back(messages::ForgetExplained());
    } else if (run.laterInPlace) {
        lines.push_back(messages::LaterRunFirst());
        lines.push_back(messages::ForgetExplained());
    } else {
        lines.push_back(messages::PutBackOrFinish());
    }
    return lines.join(QLatin1Char('\n'));
}

// A run can be taken back or finished only in its own folder, and only once the
// later runs of that folder are taken back; otherwise it can only be forgotten.
Choices ChoicesFor(const InterruptedRun& run) {
    const bool workable = run.folderThere && !run.laterInPlace;
    Choices choices;
    choices.undo = workable;
    choices.finish = workable;
    choices.forget = !workable;
    return choices;
}

QString WarningsText(const std::vector<std::string>& warnings) {
    QStringList lines{messages::UnusableJournals()};
    for (std::size_t i = 0; i < std::min(warnings.size(), kWarningsShown); ++i) {
        lines.push_back(QString::fromUtf8(warnings[i]));
    }
    if (warnings.size() > kWarningsShown) {
        lines.push_back(QStringLiteral("… (+%1)").arg(warnings.size() - kWarningsShown));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void MainWindow::OfferInterruptedRuns() {
    const std::string journals = JournalFolder();
    InterruptedRuns list = ListInterruptedRuns(journals);
    if (!list.warnings.empty()) {
        Desktop().ShowMessage(this, WarningsText(list.warnings));
    }
    // Newest first, each run once; the list is read again after every run settled,
    // since taking back a later run frees the ones before it.
    std::set<std::string> asked;
    for (;;) {
        const auto next =
            std::find_if(list.runs.begin(), list.runs.end(),
                         [&asked](const InterruptedRun& run) { return !asked.contains(run.journal); });
        if (next == list.runs.end()) {
            return;
        }
        const InterruptedRun run = *next;
        asked.insert(run.journal);
        const Choices offered = ChoicesFor(run);
        const Answer answer = Desktop().AskAboutInterruptedRun(this, Question(run), offered);
        if (!offered.Offers(answer) || answer == Answer::Leave) {
            continue;
        }
        switch (answer) {
        case Answer::Undo:
        case Answer::Finish:
            controller_->settleRun(run.journal, run.folder, answer == Answer::Finish);
            break;
        case Answer::Forget:
            controller_->forgetRun(run.journal);
            break;
        case Answer::Leave:
            break;
        }
        list = ListInterruptedRuns(journals);
    }
}

} // namespace quorvel
