#pragma once
// PDF files read back by an independent reader, poppler's command-line tools
// (pdftotext, pdfinfo, pdffonts from poppler-utils): the text in the order it
// was drawn, the number of pages and whether every font is embedded.

#include <QProcess>
#include <QRegularExpression>
#include <QString>
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
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        error = tool + QStringLiteral(" failed (poppler-utils installed?): ") +
                QString::fromUtf8(process.readAllStandardError());
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline PdfReading read_pdf(const QString& path) {
    PdfReading reading;
    reading.text = run_poppler(QStringLiteral("pdftotext"),
                               {QStringLiteral("-raw"), QStringLiteral("-enc"),
                                QStringLiteral("UTF-8"), path, QStringLiteral("-")},
                               reading.error);
    const QString info = run_poppler(QStringLiteral("pdfinfo"), {path}, reading.error);
    reading.pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    // pdffonts: two heading lines, then one line per font with "emb" as
    // "yes" or "no" in the fifth column from the right.
    const QStringList fonts = run_poppler(QStringLiteral("pdffonts"), {path}, reading.error)
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                  .mid(2);
    reading.fonts_embedded = !fonts.isEmpty();
    for (const QString& line : fonts) {
        const QStringList columns = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        reading.fonts_embedded = reading.fonts_embedded && columns.size() >= 5 &&
                                 columns[columns.size() - 5] == QLatin1String("yes");
    }
    return reading;
}

inline QString without_blanks(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

// The first of `expected` that is not found after the ones before it in
// `text` (blanks and line breaks ignored on both sides); empty when all are.
inline QString first_missing_in_order(const QString& text, const QStringList& expected) {
    const QString haystack = without_blanks(text);
    qsizetype from = 0;
    for (const QString& value : expected) {
        const QString needle = without_blanks(value);
        const qsizetype at = haystack.indexOf(needle, from);
        if (at < 0)
            return value;
        from = at + needle.size();
    }
    return {};
}

} // namespace gnc::test
