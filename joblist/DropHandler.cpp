#include "DropHandler.h"
#include "Texts.h"

namespace joblist {

bool DropHandler::looksLikePdf(const QString& path)
{
    return path.right(4).toLower() == QLatin1String(".pdf");
}

void DropHandler::OLEDragDrop(const QStringList& files)
{
    QString rejected;
    for (const QString& path : files) {
        if (looksLikePdf(path))
            m_adder.AddPDF(path);
        else
            rejected += u'[' + path + u']' + texts::kLineEnd;
    }
    if (!rejected.isEmpty())
        m_messages.show(platform::warningBox(rejected + texts::kNotPdf));
}

} // namespace joblist
