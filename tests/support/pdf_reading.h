#pragma once
// PDF files read back by an independent reader, poppler-utils: the text in
// the order it was drawn (pdftotext), the pages (pdfinfo) and whether every
// font is embedded (pdffonts).

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace gnc::test {

struct PdfReading {
    QString error; // empty when the tools could read the file
    QString text;
    int pages = 0;
    bool fonts_embedded = false;
};

inline QString run_poppler(const QString& tool, const QStringList& arguments, QString& error) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        error += tool + QStringLiteral(" failed (poppler-utils missing?) ");
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline PdfReading read_pdf(const QString& path) {
    PdfReading r;
    r.text = run_poppler(QStringLiteral("pdftotext"),
                         {QStringLiteral("-raw"), path, QStringLiteral("-")}, r.error);
    const QString info = run_poppler(QStringLiteral("pdfinfo"), {path}, r.error);
    r.pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    // Below two heading lines, one line per font; "emb" is the fifth column from the right.
    const QStringList fonts = run_poppler(QStringLiteral("pdffonts"), {path}, r.error)
                                  .split(u'\n', Qt::SkipEmptyParts)
                                  .mid(2);
    r.fonts_embedded = !fonts.isEmpty();
    for (const QString& line : fonts) {
        const QStringList columns = line.split(u' ', Qt::SkipEmptyParts);
        r.fonts_embedded =
            r.fonts_embedded && columns.value(columns.size() - 5) == QLatin1String("yes");
    }
    return r;
}

// The first of `expected` not found after the ones before it in `text`
// (blanks and line breaks ignored on both sides); empty when all are.
inline QString first_missing_in_order(const QString& text, const QStringList& expected) {
    static const QRegularExpression blanks(QStringLiteral("\\s"));
    const QString haystack = QString(text).remove(blanks);
    qsizetype from = 0;
    for (const QString& value : expected) {
        const QString needle = QString(value).remove(blanks);
        from = haystack.indexOf(needle, from);
        if (from < 0)
            return value;
        from += needle.size();
    }
    return {};
}

} // namespace gnc::test
