#include "frmMain.h"
#include "DropTargets.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

namespace {

// Window geometry is designed in twips: 15 to the pixel.
constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

// The design's font is 宋体; where it is not installed the CJK font takes its place.
QFont songti(double points, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Sans CJK")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmMain::frmMain(platform::Platform platform, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      Frame1(new QGroupBox(this)),
      lvwPDF(new QTreeWidget(Frame1)),
      m_platform(platform),
      m_rows(*lvwPDF),
      m_adder(m_rows, *this, platform.messages),
      cdPDF(platform.dialogs, m_adder),
      m_drop(m_adder, platform.messages),
      m_remover(m_rows, platform.messages),
      m_outputFolder(*this, platform.dialogs, platform.settings, platform.fileManager, platform.messages),
      m_runner(m_rows, *this, {platform.messages, platform.files, platform.processes, platform.events})
{
    createControls();
    bindEvents();
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(app::kProductName);
    setFixedSize(px(10005), px(7755));
    setFont(songti(9, false));

    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/app/icon-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/app/banner.jpg")));
    Image1->setScaledContents(false);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setGeometry(twipsRect(0, 0, 10050, 1560));

    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setTitle(QStringLiteral("PDF文件列表（支持文件拖拽添加）："));
    Frame1->setFont(songti(10.5, true));
    Frame1->setGeometry(twipsRect(120, 1680, 9735, 3915));

    lvwPDF->setObjectName(QStringLiteral("lvwPDF"));
    lvwPDF->setFont(songti(9, false));
    lvwPDF->setGeometry(twipsRect(120, 240, 9435, 2955));
    lvwPDF->setColumnCount(2);
    lvwPDF->setHeaderLabels({QStringLiteral("文件路径"), QStringLiteral("当前状态")});
    lvwPDF->setColumnWidth(0, px(6500));
    lvwPDF->setColumnWidth(1, px(2500));
    lvwPDF->header()->setStretchLastSection(false);
    lvwPDF->setRootIsDecorated(false);
    lvwPDF->setItemsExpandable(false);
    lvwPDF->setUniformRowHeights(true);
    lvwPDF->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwPDF->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwPDF->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwPDF->setSortingEnabled(false);

    const QFont regular = songti(9, false);
    cmdAddPDF = button(Frame1, "cmdAddPDF", QStringLiteral("添加PDF文件"), twipsRect(120, 3300, 1755, 435));
    cmdAddPDF->setFont(songti(9, true));
    cmdDel = button(Frame1, "cmdDel", QStringLiteral("删除选中文件"), twipsRect(2100, 3300, 1755, 435));
    cmdDel->setFont(regular);
    cmdClAll = button(Frame1, "cmdClAll", QStringLiteral("清空所有文件"), twipsRect(4080, 3300, 1755, 435));
    cmdClAll->setFont(regular);

    Frame2 = new QGroupBox(QStringLiteral("设置Word文件输出文件夹："), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFont(songti(10.5, true));
    Frame2->setGeometry(twipsRect(120, 5700, 9735, 1275));

    Label2 = new QLabel(QStringLiteral("Word文件保存文件夹："), Frame2);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(regular);
    Label2->setGeometry(twipsRect(180, 480, 2295, 375));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    txtSave = new QLineEdit(Frame2);
    txtSave->setObjectName(QStringLiteral("txtSave"));
    txtSave->setFont(regular);
    txtSave->setGeometry(twipsRect(1980, 360, 5835, 375));
    txtSave->setAcceptDrops(false); // not a drop target: no text drops either

    cmdSelSave = button(Frame2, "cmdSelSave", QStringLiteral("选择保存文件夹"), twipsRect(7920, 360, 1635, 375));
    cmdSelSave->setFont(songti(9, true));
    cmdOpenSave = button(Frame2, "cmdOpenSave", QStringLiteral("打开保存文件夹"), twipsRect(7920, 780, 1635, 375));
    cmdOpenSave->setFont(regular);
    cmdOpenSave->setEnabled(false);

    cmdStart = button(this, "cmdStart", QStringLiteral("开始转换"), twipsRect(7800, 7140, 1995, 495));
    cmdStart->setFont(songti(10.5, true));
    cmdStop = button(this, "cmdStop", QStringLiteral("停止转换"), twipsRect(5640, 7140, 1995, 495));
    cmdStop->setFont(songti(10.5, false));
    cmdStop->setEnabled(false);
    cmdStop->setVisible(false);

    // Lies below the client area: nothing of it is seen.
    webCount = new QWidget(this);
    webCount->setObjectName(QStringLiteral("webCount"));
    webCount->setGeometry(twipsRect(240, 7920, 9495, 1035));
    webCount->setFocusPolicy(Qt::NoFocus);

    timerPID = new QTimer(this);
    timerPID->setObjectName(QStringLiteral("timerPID"));
    timerPID->setInterval(10);
    timerPID->setTimerType(Qt::PreciseTimer);

    // Image1 lies at the top, above Frame1 where they overlap.
    Image1->lower();

    QWidget::setTabOrder(cmdAddPDF, cmdDel);
    QWidget::setTabOrder(cmdDel, cmdClAll);
    QWidget::setTabOrder(cmdClAll, cmdSelSave);
    QWidget::setTabOrder(cmdSelSave, cmdStart);
    QWidget::setTabOrder(cmdStart, lvwPDF);
    QWidget::setTabOrder(lvwPDF, txtSave);
    QWidget::setTabOrder(txtSave, cmdOpenSave);
    QWidget::setTabOrder(cmdOpenSave, cmdStop);
}

void frmMain::bindEvents()
{
    connect(cmdAddPDF, &QPushButton::clicked, this, [this] { cmdAddPDF_Click(); });
    connect(cmdDel, &QPushButton::clicked, this, [this] { cmdDel_Click(); });
    connect(cmdClAll, &QPushButton::clicked, this, [this] { cmdClAll_Click(); });
    connect(cmdStart, &QPushButton::clicked, this, [this] { cmdStart_Click(); });
    connect(cmdSelSave, &QPushButton::clicked, this, [this] { cmdSelSave_Click(); });
    connect(cmdOpenSave, &QPushButton::clicked, this, [this] { cmdOpenSave_Click(); });
    connect(txtSave, &QLineEdit::textChanged, this, [this] { txtSave_Change(); });
    connect(timerPID, &QTimer::timeout, this, [this] { timerPID_Timer(); });
    txtSave->installEventFilter(this); // its double-click

    m_dropTargets = new app::DropTargets(this, [this](const QStringList& files) { OLEDragDrop(files); });
    for (QWidget* target : {static_cast<QWidget*>(this), static_cast<QWidget*>(Image1), static_cast<QWidget*>(Frame1),
                            static_cast<QWidget*>(lvwPDF), lvwPDF->viewport(), static_cast<QWidget*>(cmdAddPDF),
                            static_cast<QWidget*>(cmdStart)})
        m_dropTargets->addTarget(target);
    for (QWidget* refuser : {static_cast<QWidget*>(Frame2), static_cast<QWidget*>(cmdDel),
                             static_cast<QWidget*>(cmdClAll), static_cast<QWidget*>(cmdStop), webCount})
        m_dropTargets->addRefuser(refuser);
}

void frmMain::Form_Load()
{
    m_platform.skin.SkinHme();
    m_platform.skin.SkinH_AttachEx(m_platform.files.programFolder() + u'/' + app::kSkinFileName, QString());
    strProductName = app::kProductName;
    strProductVersion = app::kProductVersion;
    setWindowTitle(strProductName + u' ' + strProductVersion);
    m_outputFolder.restoreSaved();
    m_platform.web.setSilent(true);
    m_platform.web.Navigate(app::kUsageCountUrl);
}

void frmMain::Form_Unload()
{
    m_platform.skin.SkinH_Detach();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void frmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    if (QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    cmdAddPDF->setFocus();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtSave && event->type() == QEvent::MouseButtonDblClick) {
        txtSave_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::cmdAddPDF_Click()
{
    cdPDF.cmdAddPDF_Click();
}

void frmMain::cmdDel_Click()
{
    m_remover.cmdDel_Click();
}

void frmMain::cmdClAll_Click()
{
    m_remover.cmdClAll_Click();
}

void frmMain::cmdStart_Click()
{
    m_runner.cmdStart_Click();
}

void frmMain::timerPID_Timer()
{
    m_runner.timerPID_Timer();
}

void frmMain::cmdSelSave_Click()
{
    m_outputFolder.cmdSelSave_Click();
}

void frmMain::cmdOpenSave_Click()
{
    m_outputFolder.cmdOpenSave_Click();
}

void frmMain::txtSave_Change()
{
    m_outputFolder.txtSave_Change();
}

void frmMain::txtSave_DblClick()
{
    cmdSelSave_Click();
}

void frmMain::OLEDragDrop(const QStringList& files)
{
    m_drop.OLEDragDrop(files);
}

QWidget* frmMain::widgetOf(runner::Control control) const
{
    switch (control) {
    case runner::Control::cmdStart: return cmdStart;
    case runner::Control::cmdAddPDF: return cmdAddPDF;
    case runner::Control::cmdDel: return cmdDel;
    case runner::Control::cmdClAll: return cmdClAll;
    case runner::Control::txtSave: return txtSave;
    case runner::Control::cmdSelSave: return cmdSelSave;
    case runner::Control::cmdStop: return cmdStop;
    case runner::Control::cmdOpenSave: return cmdOpenSave;
    }
    return nullptr;
}

void frmMain::setControlEnabled(runner::Control control, bool enabled)
{
    widgetOf(control)->setEnabled(enabled);
}

bool frmMain::isControlEnabled(runner::Control control) const
{
    return widgetOf(control)->isEnabledTo(this);
}

void frmMain::setStartCaption(const QString& caption)
{
    cmdStart->setText(caption);
}

void frmMain::focusControl(runner::Control control)
{
    widgetOf(control)->setFocus();
}

QString frmMain::outputFolderText() const
{
    return txtSave->text();
}

void frmMain::setTimerEnabled(bool enabled)
{
    // Enabling a running timer leaves its rhythm alone.
    if (enabled && !timerPID->isActive())
        timerPID->start();
    else if (!enabled)
        timerPID->stop();
}

bool frmMain::isTimerEnabled() const
{
    return timerPID->isActive();
}

void frmMain::openOutputFolder()
{
    cmdOpenSave_Click();
}

QString frmMain::folderText() const
{
    return txtSave->text();
}

void frmMain::setFolderText(const QString& text)
{
    txtSave->setText(text);
}

void frmMain::setOpenEnabled(bool enabled)
{
    cmdOpenSave->setEnabled(enabled);
}

void frmMain::focusSelSave()
{
    cmdSelSave->setFocus();
}

bool frmMain::batchRunning() const
{
    return !cmdStart->isEnabledTo(this);
}
