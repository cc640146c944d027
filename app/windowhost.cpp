#include "app/windowhost.h"

#include "app/commandwait.h"
#include "app/tform13.h"
#include "base/errors.h"
#include "base/files.h"
#include "bridge/runner.h"
#include "storage/dftable.h"
#include "ui/browser.h"
#include "ui/dialogs.h"
#include "ui/fonts.h"
#include "ui/logstyle.h"
#include "ui/textpane.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTextCursor>
#include <QTimer>

#include <optional>

namespace {

// How each kind of line looks in the output log. Items and blank lines take the look of the line before.
std::optional<LogStyle> styleOf(bridge::Kind kind) {
    using bridge::Kind;
    switch (kind) {
    case Kind::Step:
        return LogStyle{logcolor::Maroon, 10, false};
    case Kind::Heading:
        return LogStyle{logcolor::Maroon, 10, true};
    case Kind::Title:
        return LogStyle{logcolor::Maroon, 11, true};
    case Kind::Progress:
        return LogStyle{logcolor::Maroon, 9, false};
    case Kind::Success:
        return LogStyle{logcolor::Green, 10, true};
    case Kind::Written:
        return LogStyle{logcolor::Green, 10, false};
    case Kind::Failure:
        return LogStyle{logcolor::Red, 10, true};
    case Kind::Warning:
        return LogStyle{logcolor::Red, 9, true};
    case Kind::Unavailable:
        return LogStyle{logcolor::Red, 9, false};
    case Kind::Finding:
        return LogStyle{logcolor::Red, 10, false};
    case Kind::Notice:
        return LogStyle{logcolor::Blue, 10, false};
    case Kind::Hint:
    case Kind::Echo:
        return LogStyle{logcolor::Grey, 9, false};
    case Kind::Result:
        return LogStyle{logcolor::Black, 10, false};
    case Kind::Detail:
        return LogStyle{logcolor::Black, 9, false};
    case Kind::Total:
        return LogStyle{logcolor::Black, 10, true};
    case Kind::Section:
        return LogStyle{logcolor::Blue, 10, true};
    case Kind::Summary:
        return LogStyle{logcolor::Blue, 11, true};
    case Kind::Item:
    case Kind::Blank:
        break;
    }
    return std::nullopt;
}

} // namespace

void WindowHost::write(bridge::Kind kind, const QString& line) {
    if (const std::optional<LogStyle> style = styleOf(kind))
        form_.writeLine(line, *style);
    else
        form_.RichEdit1->appendLine(line);
}

void WindowHost::writeLines(bridge::Kind kind, const QStringList& lines) {
    if (styleOf(kind))
        Host::writeLines(kind, lines);
    else
        form_.RichEdit1->appendLines(lines);
}

void WindowHost::clear() {
    form_.RichEdit1->clearPane();
}

void WindowHost::dfTable(const QStringList& dfLines) {
    ShowDFOutput(dfLines, form_.RichEdit1);
}

void WindowHost::waitFor(bridge::CommandGroup& group, const std::function<void(qsizetype)>& ended) {
    cancel_ = [&group] { group.cancel(); };
    const auto waited = qScopeGuard([this] { cancel_ = {}; });
    CommandWait wait(&form_, cancel_);
    // Tied to the wait, so that output read while the commands are ended after the wait is gone goes nowhere.
    QObject::connect(&group, &bridge::CommandGroup::progressed, &wait,
                     [&wait](qint64 bytes) { wait.setReceived(bytes); });
    for (qsizetype i = group.next(); i >= 0; i = group.next())
        ended(i);
    if (group.cancelled())
        throw OperationCancelled();
}

void WindowHost::pause(int milliseconds) {
    QEventLoop loop;
    bool cancelled = false;
    cancel_ = [&] {
        cancelled = true;
        loop.quit();
    };
    const auto waited = qScopeGuard([this] { cancel_ = {}; });
    const CommandWait wait(&form_, cancel_, false);
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    if (cancelled)
        throw OperationCancelled();
}

void WindowHost::cancel() {
    if (cancel_)
        cancel_();
}

qsizetype WindowHost::choosePhone(const QString& question, const QList<bridge::Phone>&, const QStringList& labels) {
    return dialogs::chooseItem(&form_, question, labels);
}

QString WindowHost::outputFolder() {
    return files::ensureOutputFolder();
}

void WindowHost::showPage(const QString& path) {
    browser::openFile(path);
}

bool WindowHost::langFR() const {
    return form_.LangFR;
}

bridge::Options WindowHost::options() const {
    return {form_.CheckBoxEssentials->isChecked(), form_.CheckBoxOldAndroid->isChecked(),
            form_.CheckBoxVerbose->isChecked()};
}

void ShowDFOutput(const QStringList& RawLines, TextPane* RE) {
    const QStringList table = storage::dfTableLines(RawLines);
    RE->setPaneFont(dfTableFont());
    RE->setLineWrapMode(QTextEdit::NoWrap);
    RE->clearPane();
    // One edit block: the document tells its layout about the table once, not line by line.
    QTextCursor batch(RE->document());
    batch.beginEditBlock();
    RE->appendLines(table);
    batch.endEditBlock();
}

QFont dfTableFont() {
    return installedFontOr(u"Consolas"_qs, QFontDatabase::FixedFont, 10);
}
