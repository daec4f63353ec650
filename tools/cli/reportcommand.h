#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <memory>
#include <optional>

// The report command of orvanta-ctl, on a session database orvanta-teste or "run --database"
// recorded; nothing when words is another command.
//   report --database FILE [--session ID] [--json] [--pdf FILE]
//       --json prints the session's clinical results (TAvaliacaoClinica, TJsonClinico) as one
//       JSON object; --pdf writes its printed report (TRelatorioClinico) to FILE. Without
//       --session, the latest session. Exit status 0; 1 with one line on standard error for a
//       missing file, one that is not a session database, no session, an unknown id or a report
//       that could not be written; 2 on a usage error.
namespace reportcli {

std::optional<int> RunReportCommand(const QStringList &words);
// Whether the command line is a report, which draws its charts on widgets and so needs a
// QApplication.
bool IsReportCommand(int argc, char *argv[]);
// The report's QApplication: on the offscreen platform unless QT_QPA_PLATFORM says otherwise (it
// shows nothing), given only argv[0] (it would take --session as its own), its platform's
// start-up notes in the trace rather than on standard error.
std::unique_ptr<QCoreApplication> CreateApplication(char *argv[]);

}  // namespace reportcli
