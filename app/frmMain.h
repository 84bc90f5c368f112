#pragma once
#include "ListViewRows.h"
#include "joblist/BatchState.h"
#include "joblist/DropHandler.h"
#include "joblist/OpenDialogFiles.h"
#include "joblist/PdfAdder.h"
#include "joblist/RowRemover.h"
#include "outdir/OutputFolder.h"
#include "platform/Platform.h"
#include "runner/ConversionRunner.h"
#include "runner/RunnerView.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace app {
class DropTargets;

inline const QString kProductName = QStringLiteral("VelkaroPDF转换成Word转换器");
inline const QString kProductVersion = QStringLiteral("V17.8");
// The maker's usage-count page, requested once per start.
inline const QString kUsageCountUrl = QStringLiteral("http://www.velkaro.example/softcount/v178/");
inline const QString kSkinFileName = QStringLiteral("longhorn.she");
} // namespace app

// The program's only window: the job list, the output folder and the start
// button. It binds each control event to its operation and holds the state
// that lives in controls (texts, enabled states, rows).
class frmMain : public QWidget,
                public runner::RunnerView,
                public outdir::OutputFolderView,
                public joblist::BatchState {
public:
    explicit frmMain(platform::Platform platform, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up, before the window is first shown, and shutdown.
    void Form_Load();
    void Form_Unload();

    // Event handlers.
    void cmdAddPDF_Click();
    void cmdDel_Click();
    void cmdClAll_Click();
    void cmdStart_Click();
    void timerPID_Timer();
    void cmdSelSave_Click();
    void cmdOpenSave_Click();
    void txtSave_Change();
    void txtSave_DblClick();
    // The one drop handler of frmMain, Image1, Frame1, lvwPDF, cmdAddPDF and cmdStart.
    void OLEDragDrop(const QStringList& files);

    void AddPDF(const QString& path) { m_adder.AddPDF(path); }

    // runner::RunnerView
    void setControlEnabled(runner::Control control, bool enabled) override;
    bool isControlEnabled(runner::Control control) const override;
    void setStartCaption(const QString& caption) override;
    void focusControl(runner::Control control) override;
    QString outputFolderText() const override;
    void setTimerEnabled(bool enabled) override;
    bool isTimerEnabled() const override;
    void openOutputFolder() override;

    // outdir::OutputFolderView
    QString folderText() const override;
    void setFolderText(const QString& text) override;
    void setOpenEnabled(bool enabled) override;
    void focusSelSave() override;

    // joblist::BatchState: a batch runs exactly while cmdStart is disabled.
    bool batchRunning() const override;

    joblist::JobRows& rows() { return m_rows; }
    runner::ConversionRunner& runner() { return m_runner; }
    const QStringList& strFiles() const { return cdPDF.strFiles; }

    QString strProductName;
    QString strProductVersion;

    // The controls.
    QLabel* Image1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QTreeWidget* lvwPDF = nullptr;
    QPushButton* cmdAddPDF = nullptr;
    QPushButton* cmdDel = nullptr;
    QPushButton* cmdClAll = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtSave = nullptr;
    QPushButton* cmdSelSave = nullptr;
    QPushButton* cmdOpenSave = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    // Where the hidden browser sat, below the client area; the request itself
    // goes through the platform's WebCount.
    QWidget* webCount = nullptr;
    QTimer* timerPID = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void bindEvents();
    QWidget* widgetOf(runner::Control control) const;

    platform::Platform m_platform;
    app::ListViewRows m_rows;
    joblist::PdfAdder m_adder;
    joblist::OpenDialogFiles cdPDF;
    joblist::DropHandler m_drop;
    joblist::RowRemover m_remover;
    outdir::OutputFolder m_outputFolder;
    runner::ConversionRunner m_runner;
    app::DropTargets* m_dropTargets = nullptr;
    bool m_placed = false;
};
