#include "testsupport.h"

#include "ui/textpane.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTcpSocket>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace testsupport {

QString dataPath(const QString& relative) {
    return QDir(QStringLiteral(TELVANE_TEST_DATA)).filePath(relative);
}

QByteArray dataBytes(const QString& relative) {
    QFile file(dataPath(relative));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", qPrintable(relative));
    return file.readAll();
}

QStringList filesBelow(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(QDir(folder).relativeFilePath(it.next()));
    found.sort();
    return found;
}

FreshHome::FreshHome() : oldHome_(qgetenv("HOME")) {
    qputenv("HOME", dir_.path().toUtf8());
    qunsetenv("XDG_DESKTOP_DIR");
    qunsetenv("XDG_CONFIG_HOME");
#ifdef Q_OS_WIN
    // The test prefix finds the desktop in %HOMEDRIVE%%HOMEPATH% (scripts/wine-prefix.sh).
    oldDrive_ = qgetenv("HOMEDRIVE");
    oldPath_ = qgetenv("HOMEPATH");
    const QString home = QDir::toNativeSeparators(dir_.path());
    qputenv("HOMEDRIVE", home.left(2).toUtf8());
    qputenv("HOMEPATH", home.mid(2).toUtf8());
#endif
}

FreshHome::~FreshHome() {
    qputenv("HOME", oldHome_);
#ifdef Q_OS_WIN
    qputenv("HOMEDRIVE", oldDrive_);
    qputenv("HOMEPATH", oldPath_);
#endif
}

QString FreshHome::outputFolder() const {
    return QDir(dir_.path()).filePath(QStringLiteral("Desktop/Telvane"));
}

DialogRecorder::DialogRecorder() {
    setEnabled(true);
}

void DialogRecorder::setEnabled(bool enabled) {
    if (!enabled) {
        dialogs::setResponder({});
        return;
    }
    dialogs::setResponder([this](const dialogs::Request& request) {
        shown_.append(request);
        const bool asks = request.kind != dialogs::Kind::Error && request.kind != dialogs::Kind::Message;
        if (asks && !answers_.isEmpty())
            return answers_.takeFirst();
        return QString();
    });
}

DialogRecorder::~DialogRecorder() {
    dialogs::setResponder({});
}

QStringList DialogRecorder::errors() const {
    QStringList texts;
    for (const dialogs::Request& r : shown_)
        if (r.kind == dialogs::Kind::Error)
            texts.append(r.text);
    return texts;
}

void onNextModal(const std::function<void(QWidget*)>& act) {
    auto* watcher = new QTimer;
    QObject::connect(watcher, &QTimer::timeout, watcher, [watcher, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            watcher->deleteLater();
            watcher->stop();
            act(modal);
        }
    });
    watcher->start(20);
}

EventCounter::EventCounter(QObject* target, QEvent::Type type, int& count) : type_(type), count_(count) {
    target->installEventFilter(this);
}

bool EventCounter::eventFilter(QObject*, QEvent* event) {
    if (event->type() == type_)
        ++count_;
    return false;
}

void useProfile(const QString& name) {
    qputenv("TELVANE_SIM_PROFILE", name.toUtf8());
}

SimLog::SimLog() {
    qputenv("TELVANE_SIM_LOG", path().toUtf8());
    qputenv("TELVANE_SIM_STATE", dir_.path().toUtf8());
}

SimLog::~SimLog() {
    qunsetenv("TELVANE_SIM_LOG");
    qunsetenv("TELVANE_SIM_STATE");
}

QStringList SimLog::commands() const {
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void SimLog::put(const QString& name, const QString& line) const {
    QFile file(dir_.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write((line + u'\n').toUtf8()) < 0)
        qFatal("cannot write the simulated phone's %s", qPrintable(name));
}

QString decodeQr(const QImage& image) {
    QProcess zbar;
    zbar.start(u"zbarimg"_qs, {u"--quiet"_qs, u"--raw"_qs, u"--nodbus"_qs, u"--set"_qs, u"test-inverted"_qs, u"-"_qs});
    image.save(&zbar, "PNG");
    zbar.closeWriteChannel();
    zbar.waitForFinished();
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}

QImage halfBlockImage(const QStringList& lines, bool lightGlyphs) {
    QImage image(int(lines.value(0).size()), int(lines.size()) * 2, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QChar c = lines[y / 2][x];
            const bool glyph = c == u'█' || c == (y % 2 ? u'▄' : u'▀');
            image.setPixel(x, y, glyph == lightGlyphs ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    return image.scaled(image.size() * 4);
}

LineLook lineLook(const TextPane* pane, int line) {
    const QTextBlock block = pane->document()->findBlockByNumber(line);
    QTextCharFormat format = block.charFormat();
    if (block.length() > 1)
        format = block.begin().fragment().charFormat();
    return {block.text(), format.foreground().color(), static_cast<int>(format.fontPointSize()),
            format.fontWeight() >= QFont::Bold};
}

QList<LineLook> lineLooks(const TextPane* pane) {
    QList<LineLook> looks;
    for (int i = 0; i < pane->lineCount(); ++i)
        looks.append(lineLook(pane, i));
    return looks;
}

HttpStub::HttpStub() {
    setBody("2.0.15");
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray request = socket->readAll();
                requests_.append(request);
                if (response_.isEmpty() || !request.contains("\r\n\r\n"))
                    return;
                socket->write(response_);
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    server_.listen(QHostAddress::LocalHost);
}

void HttpStub::setBody(const QByteArray& body, const QByteArray& contentType) {
    response_ = "HTTP/1.1 200 OK\r\nContent-Type: " + contentType +
                "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

UpdateServer quietUpdateServer() {
    static HttpStub* stub = new HttpStub;
    return stub->server();
}

qint64 bestOfThreeMs(const std::function<void()>& work, const std::function<void()>& prepare) {
    qint64 best = -1;
    for (int run = 0; run < 3; ++run) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        QCoreApplication::processEvents();
        const qint64 ms = timer.elapsed();
        best = best < 0 ? ms : qMin(best, ms);
    }
    return best;
}

void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

} // namespace testsupport
