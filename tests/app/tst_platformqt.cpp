// The real Qt platform pieces the window uses at start-up and for the output
// folder: the settings file, the usage-count request, the skin, message
// boxes and the Open dialog's answer. Settings live in a temporary folder.
#include "app/frmMain.h"
#include "platform/doubles/Doubles.h"
#include "platform/qt/NetworkWebCount.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/StyleSheetSkin.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QNetworkReply>
#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace platform::qt;

namespace {

const QString kApp = QStringLiteral("VelkaroPDF转换成Word转换器");
const QString kNul(QChar(u'\0'));

// A loopback HTTP server that records each request line and answers briefly.
class CountingServer : public QObject {
public:
    CountingServer()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                auto buffer = std::make_shared<QByteArray>();
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
                    buffer->append(s->readAll());
                    if (!buffer->contains("\r\n\r\n"))
                        return;
                    requests.append(QString::fromLatin1(buffer->left(buffer->indexOf("\r\n"))));
                    s->write("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok");
                    s->disconnectFromHost();
                });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QUrl base() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort())); }
    QStringList requests;

private:
    QTcpServer m_server;
};

// Counts the network replies released in this thread: a usage-count request
// is over, answered or failed, once its reply is handed to deleteLater.
class ReleasedReplies : public QObject {
public:
    ReleasedReplies() { QCoreApplication::instance()->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::DeferredDelete && qobject_cast<QNetworkReply*>(watched))
            ++count;
        return false;
    }
};

struct RealSettingsWindow {
    platform::doubles::TestPlatform p;
    QtSettingsStore settings;
    platform::Platform platform{p.messages, p.dialogs, p.files, p.processes, settings,
                                p.fileManager, p.skin,    p.web,   p.events};
    frmMain w{platform};
};

} // namespace

class PlatformQtTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QString settingsFile() const { return m_config.filePath(kApp + ".ini"); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
    }

    void init()
    {
        QFile::remove(settingsFile());
        QDir(settingsFile()).removeRecursively();
    }

    void settingsRoundTripInTheApplicationsFile()
    {
        QtSettingsStore store;
        QCOMPARE(store.read(kApp, "softinfo", "savepath", "dflt"), QStringLiteral("dflt"));
        QVERIFY(store.write(kApp, "softinfo", "savepath", "/home/用户/文档, 2024/").ok());
        QVERIFY(QFile::exists(settingsFile()));
        QCOMPARE(store.read(kApp, "softinfo", "savepath", ""), QStringLiteral("/home/用户/文档, 2024/"));
        QSettings raw(settingsFile(), QSettings::IniFormat);
        QCOMPARE(raw.value("softinfo/savepath").toString(), QStringLiteral("/home/用户/文档, 2024/"));
    }

    void damagedSettingsReadAsDefault_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe[soft\x01info\n\xc3\x28savepath=\x80\x81", 24);
        QTest::newRow("a list, not a string") << QByteArray("[softinfo]\nsavepath=a, b\n");
        QTest::newRow("a byte array") << QByteArray("[softinfo]\nsavepath=@ByteArray(/x/)\n");
        QTest::newRow("half a line") << QByteArray("[softinfo\nsavepath");
    }

    void damagedSettingsReadAsDefault()
    {
        QFETCH(QByteArray, content);
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();

        RealSettingsWindow win;
        win.w.Form_Load();
        QCOMPARE(win.w.txtSave->text(), QString());
        QVERIFY(!win.w.cmdOpenSave->isEnabled());
        QVERIFY(win.p.messages.shown.isEmpty());
        QCOMPARE(win.w.windowTitle(), QStringLiteral("VelkaroPDF转换成Word转换器 V17.8"));
    }

    void unreadableSettingsDoNotStopTheProgram()
    {
        QVERIFY(QDir().mkpath(settingsFile())); // a folder where the file should be
        RealSettingsWindow win;
        win.w.Form_Load();
        QCOMPARE(win.w.txtSave->text(), QString());
        // Choosing a folder still works; only remembering it fails, and says so.
        win.p.dialogs.setNextFolder("/tmp");
        win.w.cmdSelSave_Click();
        QCOMPARE(win.w.txtSave->text(), QStringLiteral("/tmp/"));
        QCOMPARE(win.p.messages.shown.size(), 1);
        QVERIFY(win.p.messages.shown.first().text.startsWith("无法保存Word文件保存文件夹的设置："));
    }

    void savedFolderComesBackAtTheNextStart()
    {
        {
            RealSettingsWindow first;
            first.w.Form_Load();
            first.p.dialogs.setNextFolder("/no/longer/there");
            first.w.cmdSelSave_Click();
            first.w.txtSave->setText("/typed/not/saved/");
        }
        RealSettingsWindow second;
        second.w.Form_Load();
        QCOMPARE(second.w.txtSave->text(), QStringLiteral("/no/longer/there/"));
        QVERIFY(second.w.cmdOpenSave->isEnabled());
    }

    void usageCountIsOneGetOfItsPath()
    {
        CountingServer server;
        ReleasedReplies replies;
        platform::doubles::TestPlatform p;
        NetworkWebCount web(server.base());
        platform::Platform platform{p.messages, p.dialogs, p.files, p.processes, p.settings,
                                    p.fileManager, p.skin,    web,     p.events};
        frmMain w(platform);
        w.Form_Load();
        QVERIFY(server.requests.isEmpty()); // start-up did not wait for it
        QVERIFY(web.silent());
        QTRY_VERIFY_WITH_TIMEOUT(replies.count > 0, 5000);
        QCOMPARE(server.requests, QStringList{"GET /softcount/v178/ HTTP/1.1"});
        QVERIFY(p.messages.shown.isEmpty());
    }

    void usageCountWithoutServerShowsNothing()
    {
        QUrl deadEnd;
        {
            QTcpServer probe; // a port that nobody listens on any more
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            deadEnd = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort()));
        }
        ReleasedReplies replies;
        platform::doubles::TestPlatform p;
        NetworkWebCount web(deadEnd);
        platform::Platform platform{p.messages, p.dialogs, p.files, p.processes, p.settings,
                                    p.fileManager, p.skin,    web,     p.events};
        frmMain w(platform);
        w.Form_Load();
        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(replies.count > 0, 5000); // refused
        QVERIFY(p.messages.shown.isEmpty());
        QCOMPARE(w.windowTitle(), QStringLiteral("VelkaroPDF转换成Word转换器 V17.8"));
        QVERIFY(w.isVisible());
        QVERIFY(w.close());
    }

    void skinAttachesAndDetachesAStyleSheet()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("longhorn.she");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("QPushButton { color: #123456; }");
        f.close();

        StyleSheetSkin skin;
        skin.SkinHme();
        skin.SkinH_AttachEx(dir.filePath("missing.she"), QString());
        QCOMPARE(qApp->styleSheet(), QString());
        skin.SkinH_AttachEx(file, QString());
        QCOMPARE(qApp->styleSheet(), QStringLiteral("QPushButton { color: #123456; }"));
        skin.SkinH_Detach();
        QCOMPARE(qApp->styleSheet(), QString());
    }

    void shippedSkinKeepsFontsAndPlaces()
    {
        platform::doubles::TestPlatform p;
        frmMain w(p.platform());
        w.show();
        QList<QPair<QRect, QFont>> before;
        QList<QWidget*> controls;
        for (const char* name : {"Image1", "Frame1", "lvwPDF", "cmdAddPDF", "cmdDel", "cmdClAll", "Frame2", "Label2",
                                 "txtSave", "cmdSelSave", "cmdOpenSave", "cmdStart", "cmdStop"})
            controls.append(w.findChild<QWidget*>(QLatin1String(name)));
        for (QWidget* c : controls)
            before.append({c->geometry(), c->font()});

        StyleSheetSkin skin;
        skin.SkinH_AttachEx(QStringLiteral(SHIPPED_SKIN), QString());
        QVERIFY(qApp->styleSheet().contains("QPushButton"));
        QVERIFY(!qApp->styleSheet().contains("font:") && !qApp->styleSheet().contains("font-"));
        QCoreApplication::processEvents();
        for (int i = 0; i < controls.size(); ++i) {
            QCOMPARE(controls[i]->geometry(), before[i].first);
            QCOMPARE(controls[i]->font(), before[i].second);
        }
        QCOMPARE(w.size(), QSize(667, 517));
        skin.SkinH_Detach();
    }

    void messageBoxesShowExactlyWhatWasAsked()
    {
        QtMessageBoxes boxes;
        QString seenText, seenTitle;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons seenButtons;
        QMessageBox::StandardButton seenDefault = QMessageBox::NoButton;
        auto inspectAndPress = [&](QMessageBox::StandardButton press) {
            QTimer::singleShot(0, [&, press] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                seenText = box->text();
                seenTitle = box->windowTitle();
                seenIcon = box->icon();
                seenButtons = box->standardButtons();
                seenDefault = box->standardButton(box->defaultButton());
                box->button(press)->click();
            });
        };

        inspectAndPress(QMessageBox::Ok);
        QCOMPARE(boxes.show(platform::warningBox("文件[<b>/x</b>]在列表中已经存在！")), platform::MessageAnswer::Ok);
        QCOMPARE(seenText, QStringLiteral("文件[<b>/x</b>]在列表中已经存在！"));
        QCOMPARE(seenTitle, QStringLiteral("提示"));
        QCOMPARE(seenIcon, QMessageBox::Warning);
        QCOMPARE(seenButtons, QMessageBox::StandardButtons(QMessageBox::Ok));

        inspectAndPress(QMessageBox::Yes);
        QCOMPARE(boxes.show(platform::questionBox("您确实要清空PDF文件列表？")), platform::MessageAnswer::Yes);
        QCOMPARE(seenIcon, QMessageBox::Question);
        QCOMPARE(seenButtons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(seenDefault, QMessageBox::No);

        inspectAndPress(QMessageBox::No);
        QCOMPARE(boxes.show(platform::questionBox("q?", platform::MessageAnswer::Yes)), platform::MessageAnswer::No);
        QCOMPARE(seenDefault, QMessageBox::Yes);
    }

    void classicOpenAnswer_data()
    {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QString>("answer");
        QTest::newRow("cancelled") << QStringList{} << "";
        QTest::newRow("one") << QStringList{"/docs/a.pdf"} << "/docs/a.pdf";
        QTest::newRow("several") << QStringList{"/docs/a.pdf", "/docs/b.pdf"} << "/docs" + kNul + "a.pdf" + kNul + "b.pdf";
        QTest::newRow("root") << QStringList{"/a.pdf", "/b.pdf"} << "/" + kNul + "a.pdf" + kNul + "b.pdf";
        QTest::newRow("two folders") << QStringList{"/docs/x/a.pdf", "/docs/y/b.pdf"}
                                     << "/docs" + kNul + "x/a.pdf" + kNul + "y/b.pdf";
        QTest::newRow("similar prefix") << QStringList{"/docs/ab/a.pdf", "/docs/a/b.pdf"}
                                        << "/docs" + kNul + "ab/a.pdf" + kNul + "a/b.pdf";
    }

    void classicOpenAnswer()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QString, answer);
        QCOMPARE(classicOpenResult(chosen), answer);
    }

    void classicFilterBecomesQtFilter()
    {
        QCOMPARE(qtNameFilter("*.pdf|*.pdf"), QStringLiteral("*.pdf (*.pdf)"));
        QCOMPARE(qtNameFilter("PDF|*.pdf;*.PDF|All|*.*"), QStringLiteral("PDF (*.pdf *.PDF);;All (*.*)"));
        QCOMPARE(withoutTrailingSeparator("/a/b//"), QStringLiteral("/a/b"));
        QCOMPARE(withoutTrailingSeparator("/"), QStringLiteral("/"));
    }
};

QTEST_MAIN(PlatformQtTest)
#include "tst_platformqt.moc"
