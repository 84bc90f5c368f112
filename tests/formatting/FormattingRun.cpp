#include "FormattingRun.h"

#include "ExternalReaders.h"

#include <QFile>

namespace fmt {

QString FormattingRun::pwt()
{
    return qEnvironmentVariable("PWT_UNDER_TEST", QStringLiteral(PWT_PATH));
}

const FormattingRun& FormattingRun::instance()
{
    static const FormattingRun run;
    return run;
}

FormattingRun::FormattingRun()
{
    if (!m_dir.isValid()) {
        error = QStringLiteral("cannot make a temporary folder");
        return;
    }
    const QList<CorpusFile> files = writeCorpus(m_dir.filePath(QStringLiteral("pdf")), &error);
    if (files.isEmpty())
        return;
    converted = convertAll(pwt(), files, m_dir.filePath(QStringLiteral("out")));
}

const Converted* FormattingRun::find(const QString& name) const
{
    for (const Converted& c : converted)
        if (c.source.truth.name == name)
            return &c;
    return nullptr;
}

const fodt::Document* FormattingRun::view(const QString& name) const
{
    const Converted* c = find(name);
    if (!c || c->fodt.isEmpty())
        return nullptr;
    auto& slot = m_views[name];
    if (!slot)
        slot = std::make_shared<fodt::Document>(fodt::read(c->fodt));
    return slot.get();
}

QString FormattingRun::libreOfficeText(const QString& name, QString* why) const
{
    const QString dir = m_dir.filePath(QStringLiteral("txt"));
    if (!m_textMade) {
        m_textMade = true;
        QStringList docs;
        for (const Converted& c : converted)
            if (c.problem.isEmpty())
                docs << c.doc;
        m_textError = readers::libreOfficeConvert(docs, QStringLiteral("txt:Text"), dir, m_dir.filePath(QStringLiteral("lo-txt"))).err;
    }
    QFile f(dir + QChar('/') + name + QStringLiteral(".txt"));
    if (!f.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("LibreOffice made no text of %1: %2").arg(name, m_textError);
        return {};
    }
    return QString::fromUtf8(f.readAll());
}

} // namespace fmt
