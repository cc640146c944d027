#include "app/wifidialog.h"

#include "app/tform13.h"
#include "app/windowhost.h"
#include "ui/textpane.h"
#include "wifi/wireless.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const Message Title{"Wi-Fi", "Wi-Fi"};
const Message QrTab{"QR code", "Code QR"};
const Message CodeTab{"Pairing code", "Code d'association"};
const Message ConnectTab{"Connect", "Connexion"};
const Message UsbTab{"USB to Wi-Fi", "USB vers Wi-Fi"};
const Message QrHelp{"On the phone: Developer options › Wireless debugging › Pair device with QR code. Then show a "
                     "code here and scan it; the phone has 2 minutes.",
                     "Sur le téléphone : Options pour les développeurs › Débogage sans fil › Associer l'appareil avec "
                     "un code QR. Puis affichez un code ici et scannez-le ; le téléphone a 2 minutes."};
const Message QrStart{"Show a QR code and wait for the phone", "Afficher un code QR et attendre le téléphone"};
const Message QrSpot{"The QR code shows here.", "Le code QR s'affiche ici."};
const Message CodeHelp{
    "On the phone: Developer options › Wireless debugging › Pair device with pairing code. Type "
    "the IP address and port, and the six-digit code it shows.",
    "Sur le téléphone : Options pour les développeurs › Débogage sans fil › Associer l'appareil "
    "avec un code d'association. Tapez l'adresse IP et le port, et le code à six chiffres affichés."};
const Message PairAddress{"IP address and port:", "Adresse IP et port :"};
const Message PairCode{"Pairing code:", "Code d'association :"};
const Message PairCaption{"Pair", "Associer"};
const Message ConnectHelp{"A phone already paired, or switched to TCP mode: its address HOST[:PORT], port 5555 when "
                          "none is given.",
                          "Un téléphone déjà associé, ou passé en mode TCP : son adresse HÔTE[:PORT], port 5555 si "
                          "aucun n'est donné."};
const Message AddressCaption{"Address:", "Adresse :"};
const Message ConnectCaption{"Connect", "Connecter"};
const Message DisconnectCaption{"Disconnect", "Déconnecter"};
const Message UsbHelp{"The phone in use over USB: Telvane reads its Wi-Fi address, restarts adb on it in TCP mode "
                      "(port 5555) and connects to it; then you can unplug the cable. This works with every Android "
                      "version and every adb.",
                      "Le téléphone utilisé en USB : Telvane lit son adresse Wi-Fi, y relance adb en mode TCP (port "
                      "5555) et s'y connecte ; vous pouvez ensuite débrancher le câble. Cela fonctionne avec toutes "
                      "les versions d'Android et tous les adb."};
const Message SwitchCaption{"Switch the USB phone to Wi-Fi", "Passer le téléphone USB en Wi-Fi"};
const Message CloseCaption{"Close", "Fermer"};
const Message CancelCaption{"Cancel", "Annuler"};

// The side of the QR code on the screen, quiet zone included, at most: a phone's camera reads it from afar.
constexpr int QrSide = 264;

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* textLabel(const QString& text, const char* name = "") {
    auto* label = named(new QLabel(text), name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

// Every module a square of whole pixels, dark on light, the quiet zone around it light.
QPixmap qrPixmap(const wifi::QrCode& code) {
    const int modules = code.size() + 2 * wifi::QuietZone;
    QImage image(modules, modules, QImage::Format_RGB32);
    for (int y = 0; y < modules; ++y)
        for (int x = 0; x < modules; ++x)
            image.setPixel(x, y,
                           code.dark(x - wifi::QuietZone, y - wifi::QuietZone) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    const int scale = std::max(1, QrSide / modules);
    return QPixmap::fromImage(image.scaled(modules * scale, modules * scale));
}

} // namespace

WifiDialog::WifiDialog(TForm13& form, WindowHost& host) : QDialog(&form), form_(form), host_(host) {
    setObjectName(u"WifiDialog"_qs);
    setWindowTitle(form.text(Title));
    const QString refusal = wifi::pairingRefusal(host);
    tabs_ = named(new QTabWidget, "WifiTabs");
    tabs_->addTab(qrPage(refusal), form.text(QrTab));
    tabs_->addTab(codePage(refusal), form.text(CodeTab));
    tabs_->addTab(connectPage(), form.text(ConnectTab));
    tabs_->addTab(usbPage(), form.text(UsbTab));
    auto* buttons = new QDialogButtonBox;
    close_ = named(buttons->addButton(form.text(CloseCaption), QDialogButtonBox::RejectRole), "WifiClose");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    inputs_.append(tabs_->tabBar());
    // Beside the log, over the groups pane, so that the operation's lines stay in sight.
    resize(560, 440);
    move(form.mapToGlobal(QPoint(form.width() - width() - 8, 40)));
}

QWidget* WifiDialog::qrPage(const QString& refusal) {
    auto* page = named(new QWidget, "WifiQrPage");
    auto* layout = new QVBoxLayout(page);
    auto* refused = textLabel(refusal, "WifiQrRefusal");
    refused->setStyleSheet(u"color: #FF0000"_qs);
    refused->setVisible(!refusal.isEmpty());
    qrImage_ = textLabel(form_.text(QrSpot), "WifiQrImage");
    qrImage_->setAlignment(Qt::AlignCenter);
    qrImage_->setMinimumSize(QrSide, QrSide);
    auto* start = named(new QPushButton(form_.text(QrStart)), "WifiQrStart");
    start->setEnabled(refusal.isEmpty());
    connect(start, &QPushButton::clicked, this, [this] { pairWithQrCode(); });
    layout->addWidget(refused);
    layout->addWidget(textLabel(form_.text(QrHelp)));
    layout->addWidget(qrImage_, 1);
    layout->addWidget(start);
    if (refusal.isEmpty())
        inputs_.append(start);
    return page;
}

QWidget* WifiDialog::codePage(const QString& refusal) {
    auto* page = named(new QWidget, "WifiCodePage");
    auto* layout = new QVBoxLayout(page);
    auto* refused = textLabel(refusal, "WifiCodeRefusal");
    refused->setStyleSheet(u"color: #FF0000"_qs);
    refused->setVisible(!refusal.isEmpty());
    pairAddress_ = named(new QLineEdit, "WifiPairAddress");
    pairAddress_->setPlaceholderText(u"192.168.1.20:37099"_qs);
    pairCode_ = named(new QLineEdit, "WifiPairCode");
    pairCode_->setPlaceholderText(u"123456"_qs);
    auto* fields = new QFormLayout;
    fields->addRow(form_.text(PairAddress), pairAddress_);
    fields->addRow(form_.text(PairCode), pairCode_);
    auto* pair = named(new QPushButton(form_.text(PairCaption)), "WifiPair");
    connect(pair, &QPushButton::clicked, this, [this] {
        run([this] {
            const QString typed = pairAddress_->text().trimmed();
            const QString code = pairCode_->text().trimmed();
            const std::optional<wifi::Address> address = wifi::readAddress(typed, 0);
            if (!address)
                host_.write(bridge::Kind::Failure, form_.text(wifi::BadAddress).arg(typed, u"HOST:PORT"_qs));
            else if (!wifi::isPairingCode(code))
                host_.write(bridge::Kind::Failure, form_.text(wifi::BadCode).arg(code));
            else
                wifi::PairWithCode(host_, *address, code);
        });
    });
    for (QWidget* input :
         {static_cast<QWidget*>(pairAddress_), static_cast<QWidget*>(pairCode_), static_cast<QWidget*>(pair)})
        input->setEnabled(refusal.isEmpty());
    layout->addWidget(refused);
    layout->addWidget(textLabel(form_.text(CodeHelp)));
    layout->addLayout(fields);
    layout->addStretch();
    layout->addWidget(pair);
    if (refusal.isEmpty())
        inputs_.append({pairAddress_, pairCode_, pair});
    return page;
}

QWidget* WifiDialog::connectPage() {
    auto* page = named(new QWidget, "WifiConnectPage");
    auto* layout = new QVBoxLayout(page);
    connectAddress_ = named(new QLineEdit, "WifiConnectAddress");
    connectAddress_->setPlaceholderText(u"192.168.1.20:5555"_qs);
    auto* fields = new QFormLayout;
    fields->addRow(form_.text(AddressCaption), connectAddress_);
    auto* connectTo = named(new QPushButton(form_.text(ConnectCaption)), "WifiConnect");
    auto* disconnectFrom = named(new QPushButton(form_.text(DisconnectCaption)), "WifiDisconnect");
    for (QPushButton* button : {connectTo, disconnectFrom})
        connect(button, &QPushButton::clicked, this, [this, connecting = button == connectTo] {
            run([this, connecting] {
                const QString typed = connectAddress_->text().trimmed();
                const std::optional<wifi::Address> address = wifi::readAddress(typed, wifi::TcpPort);
                if (!address)
                    host_.write(bridge::Kind::Failure, form_.text(wifi::BadAddress).arg(typed, u"HOST[:PORT]"_qs));
                else if (connecting)
                    wifi::Connect(host_, *address);
                else
                    wifi::Disconnect(host_, address);
            });
        });
    connect(connectAddress_, &QLineEdit::returnPressed, connectTo, &QPushButton::click);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(connectTo);
    buttons->addWidget(disconnectFrom);
    layout->addWidget(textLabel(form_.text(ConnectHelp)));
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons);
    inputs_.append({connectAddress_, connectTo, disconnectFrom});
    return page;
}

QWidget* WifiDialog::usbPage() {
    auto* page = named(new QWidget, "WifiUsbPage");
    auto* layout = new QVBoxLayout(page);
    auto* switchPhone = named(new QPushButton(form_.text(SwitchCaption)), "WifiSwitch");
    connect(switchPhone, &QPushButton::clicked, this, [this] { run([this] { wifi::SwitchToWifi(host_); }); });
    layout->addWidget(textLabel(form_.text(UsbHelp)));
    layout->addStretch();
    layout->addWidget(switchPhone);
    inputs_.append(switchPhone);
    return page;
}

void WifiDialog::run(const std::function<void()>& operation) {
    running_ = true;
    for (QWidget* input : std::as_const(inputs_))
        input->setEnabled(false);
    close_->setText(form_.text(CancelCaption));
    form_.guard(operation);
    // The window's handler that opened the dialog holds the log's edits until it ends: these are shown now.
    form_.RichEdit1->flushEdits();
    form_.RichEdit1->showEnd();
    close_->setText(form_.text(CloseCaption));
    for (QWidget* input : std::as_const(inputs_))
        input->setEnabled(true);
    running_ = false;
}

void WifiDialog::pairWithQrCode() {
    const wifi::QrPairing pairing = wifi::newQrPairing();
    const wifi::QrCode code(pairing.text());
    run([&] { wifi::PairWithQrCode(host_, pairing, [&] { qrImage_->setPixmap(qrPixmap(code)); }); });
    // A code is good for one pairing only.
    qrImage_->setText(form_.text(QrSpot));
}

void WifiDialog::reject() {
    if (running_)
        host_.cancel();
    else
        QDialog::reject();
}
