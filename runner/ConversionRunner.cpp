#include "ConversionRunner.h"

namespace runner {

namespace {

const QString kTitle = QStringLiteral("提示");
const QString kErrorTitle = QStringLiteral("错误提示");
const QString kStartCaption = QStringLiteral("开始转换");
const QString kRunningCaption = QStringLiteral("正在转换...");
const QString kNoFiles = QStringLiteral("您还未添加任何PDF文件！请先添加PDF文件。");
const QString kNoFolder = QStringLiteral("请先选择转换后的Word文件保存文件夹！");
const QString kAllDone = QStringLiteral("所有文档转换完成！是否打开Word文件保存文件夹？");
const QString kConverterName = QStringLiteral("pwt");
const QString kWordSuffix = QStringLiteral(".doc");
constexpr qsizetype kSourceSuffixLength = 4; // ".pdf"

QString conversionFailedText(const QString& source)
{
    return QStringLiteral("文件[") + source
        + QStringLiteral("]转换失败！请检查本程序是否对保存路径有写入权限。") + QStringLiteral("\r\n")
        + QStringLiteral("建议Windows7、Windows8用户以管理员身份运行本程序，方法：右击本程序的快捷方式，"
                         "选择菜单中的“以管理员身份运行”即可。");
}

QString withOneTrailingSeparator(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

bool isPending(const QString& status)
{
    return status == joblist::status::kPending || status == joblist::status::kStopped;
}

} // namespace

ConversionRunner::ConversionRunner(joblist::JobRows& rows, RunnerView& view, RunnerServices services)
    : m_rows(rows), m_view(view), m_services(services)
{
}

void ConversionRunner::cmdStart_Click()
{
    if (m_rows.count() == 0) {
        m_services.messages.show(platform::warningBox(kNoFiles, kTitle));
        m_view.focusControl(Control::cmdAddPDF);
        return;
    }
    if (m_view.outputFolderText().isEmpty()) {
        m_services.messages.show(platform::warningBox(kNoFolder, kTitle));
        m_view.focusControl(Control::cmdSelSave);
        return;
    }

    const int n = m_rows.count();
    for (int i = 1; i <= n; ++i)
        m_rows.setStatus(i, joblist::status::kPending);
    m_writtenThisBatch.clear();

    m_view.setStartCaption(kRunningCaption);
    for (const auto control : {Control::cmdStart, Control::cmdAddPDF, Control::cmdDel, Control::cmdClAll,
                               Control::txtSave, Control::cmdSelSave})
        m_view.setControlEnabled(control, false);
    m_view.setControlEnabled(Control::cmdStop, true);
    ConvertNext();
}

void ConversionRunner::ConvertNext()
{
    strSrcFile.clear();
    strDestFile.clear();

    // A found position, not a non-empty path, decides: a row whose text is
    // empty is still settled instead of being left "converting" for ever.
    int picked = 0;
    const int n = m_rows.count();
    for (int i = 1; i <= n; ++i) {
        if (isPending(m_rows.status(i))) {
            strSrcFile = m_rows.text(i);
            m_rows.setStatus(i, joblist::status::kConverting);
            picked = i;
            break;
        }
    }
    if (picked == 0) {
        endBatch();
        return;
    }

    QString lastFailure;
    launchConverter(lastFailure);
    if (!lastFailure.isEmpty())
        reportFailure(lastFailure);
}

// Every step carries on after a failure; only the most recent one is kept for
// the report, and the watcher settles the row whatever happened here.
void ConversionRunner::launchConverter(QString& lastFailure)
{
    QString baseName = GetFileName(strSrcFile);
    if (baseName.size() < kSourceSuffixLength)
        lastFailure = QStringLiteral("文件名[%1]不足%2个字符，无法去掉它的扩展名。")
                          .arg(baseName)
                          .arg(kSourceSuffixLength);
    else
        baseName.chop(kSourceSuffixLength);

    const QString folder = withOneTrailingSeparator(m_view.outputFolderText());
    if (!m_services.files.folderExists(folder)) {
        const auto made = m_services.files.makeFolder(folder);
        if (!made.ok())
            lastFailure = QStringLiteral("无法创建保存文件夹[%1]：%2").arg(folder, made.error());
    }

    strDestFile = freeDestination(folder, baseName);

    m_services.events.processEvents();

    const QString program = withOneTrailingSeparator(m_services.files.programFolder()) + kConverterName;
    m_destinationBefore = m_services.files.stamp(strDestFile);
    const auto launch = m_services.processes.startHidden(
        program, {QStringLiteral("--src=") + strSrcFile, QStringLiteral("--dest=") + strDestFile});
    m_launched = launch.ok();
    if (m_launched)
        lngPID = launch.pid;
    else
        lastFailure = QStringLiteral("无法启动转换程序[%1]：%2").arg(program, launch.error);

    m_view.setTimerEnabled(true);
}

void ConversionRunner::endBatch()
{
    m_view.setControlEnabled(Control::cmdStop, false);
    m_view.setControlEnabled(Control::cmdStart, true);
    m_view.setStartCaption(kStartCaption);
    for (const auto control : {Control::cmdAddPDF, Control::cmdDel, Control::cmdClAll, Control::txtSave,
                               Control::cmdSelSave})
        m_view.setControlEnabled(control, true);
    m_view.setTimerEnabled(false);

    const auto answer
        = m_services.messages.show(platform::questionBox(kAllDone, platform::MessageAnswer::Yes, kTitle));
    if (answer == platform::MessageAnswer::Yes)
        m_view.openOutputFolder();
}

// Two rows of one batch with the same file name must not overwrite each
// other's Word file, nor may the converter be pointed at its own source.
// Files from earlier batches or from elsewhere are overwritten as before.
QString ConversionRunner::freeDestination(const QString& folder, const QString& baseName) const
{
    const auto taken = [&](const QString& path) { return path == strSrcFile || m_writtenThisBatch.contains(path); };
    QString candidate = folder + baseName + kWordSuffix;
    for (int copy = 2; taken(candidate); ++copy)
        candidate = folder + baseName + QStringLiteral(" (%1)").arg(copy) + kWordSuffix;
    return candidate;
}

void ConversionRunner::timerPID_Timer()
{
    if (m_holdTicks || !m_view.isTimerEnabled())
        return;
    // Id 0 and the id of an earlier converter are never asked about: after a
    // failed launch the row is settled on the first tick.
    if (m_launched && lngPID > 0 && m_services.processes.isRunning(lngPID))
        return;

    m_view.setTimerEnabled(false);
    const bool converted = destinationWrittenByThisLaunch();
    if (converted)
        m_writtenThisBatch.insert(strDestFile);
    settleRow(converted);
    if (!converted)
        m_services.messages.show(platform::warningBox(conversionFailedText(strSrcFile), kTitle));
    ConvertNext();
}

// A file that was at the destination before the launch and is unchanged now
// was not written by this converter, however it got there.
bool ConversionRunner::destinationWrittenByThisLaunch() const
{
    if (!m_services.files.fileExists(strDestFile))
        return false;
    const auto after = m_services.files.stamp(strDestFile);
    return after.exists && after != m_destinationBefore;
}

void ConversionRunner::settleRow(bool converted)
{
    const int n = m_rows.count();
    for (int i = 1; i <= n; ++i) {
        if (m_rows.text(i) == strSrcFile) {
            m_rows.setStatus(i, converted ? joblist::status::kDone : joblist::status::kFailed);
            return;
        }
    }
}

void ConversionRunner::reportFailure(const QString& description)
{
    m_holdTicks = true;
    m_services.messages.show(platform::warningBox(description, kErrorTitle));
    m_holdTicks = false;
}

QString GetFileName(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace runner
