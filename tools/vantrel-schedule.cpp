// vantrel-schedule: previews what a node receives over the day, and checks a node
// file for lines that can never apply or will not show as intended.

#include "config/codec.h"
#include "config/textlines.h"
#include "link/frames.h"
#include "schedule/analysis.h"
#include "schedule/nodelist.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

void out(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

int usage(const QString &why)
{
    std::fprintf(stderr,
                 "vantrel-schedule: %s\n"
                 "uso: vantrel-schedule preview ARCHIVO.msg [--date AAAA-MM-DD] [--days N]\n"
                 "     vantrel-schedule check ARCHIVO.msg...\n",
                 qPrintable(why));
    return 2;
}

bool readLines(const QString &path, QByteArrayList *lines)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "vantrel-schedule: no se puede leer %s: %s\n", qPrintable(path),
                     qPrintable(f.errorString()));
        return false;
    }
    *lines = textlines::split(f.readAll());
    return true;
}

QString hhmm(int minute)
{
    return QStringLiteral("%1:%2").arg(minute / 60, 2, 10, QLatin1Char('0')).arg(minute % 60, 2, 10, QLatin1Char('0'));
}

QString screen(const QByteArray &job)
{
    QStringList rows;
    for (const QByteArray &row : analysis::displayLines(job))
        rows.append(cp1252::toUnicode(row));
    return QLatin1Char('|') + rows.join(QLatin1Char('|')) + QLatin1Char('|');
}

int preview(const QString &path, const QDate &first, int days)
{
    QByteArrayList lines;
    if (!readLines(path, &lines))
        return 1;
    int node = 0;
    NodeList::nodeNumber(QFileInfo(path).fileName(), &node);
    static const char *weekdays[] = {"lunes", "martes", "miércoles", "jueves", "viernes", "sábado", "domingo"};
    const int deflt = analysis::defaultLine(lines);
    const QByteArray defaultText = deflt >= 0 ? lines.at(deflt) : TNodeRecord::builtInDefault();

    out(QStringLiteral("%1 (nodo %2)").arg(QFileInfo(path).fileName()).arg(node));
    for (int d = 0; d < days; ++d) {
        const QDate date = first.addDays(d);
        out(QString());
        out(QStringLiteral("%1 %2").arg(QString::fromUtf8(weekdays[date.dayOfWeek() - 1]), date.toString(Qt::ISODate)));
        for (const analysis::Slot &s : analysis::previewDay(lines, date)) {
            const QString when = QStringLiteral("  %1-%2  ").arg(hhmm(s.from), hhmm(s.to));
            const QList<int> &ls = s.what.lines;
            switch (s.what.kind) {
            case EntryKind::None:
                out(when + (deflt >= 0 ? QStringLiteral("texto por defecto, línea %1").arg(deflt + 1)
                                       : QStringLiteral("texto por defecto incorporado")));
                out(QStringLiteral("               ") + screen(defaultText));
                break;
            case EntryKind::SwitchOff: {
                const int minutes = ParseEntry(lines.at(ls.first())).endMinute;
                out(when + QStringLiteral("apagado del terminal, línea %1: comando %2")
                               .arg(ls.first() + 1)
                               .arg(QString::fromLatin1(switchOffCommand(node, minutes))));
                break;
            }
            case EntryKind::Dated:
            case EntryKind::Weekly: {
                const QString kind =
                    s.what.kind == EntryKind::Dated ? QStringLiteral("fechada") : QStringLiteral("semanal");
                if (ls.size() == 1) {
                    out(when + QStringLiteral("%1, línea %2").arg(kind).arg(ls.first() + 1));
                } else {
                    QStringList numbers;
                    for (int i : ls)
                        numbers.append(QString::number(i + 1));
                    out(when + QStringLiteral("%1, por turnos de diez envíos: líneas %2")
                                   .arg(kind, numbers.join(QStringLiteral(", "))));
                }
                for (int i : ls)
                    out(QStringLiteral("               ") + screen(lines.at(i)));
                break;
            }
            }
        }
    }
    return 0;
}

int check(const QStringList &paths)
{
    int warnings = 0;
    bool unreadable = false;
    for (const QString &path : paths) {
        QByteArrayList lines;
        if (!readLines(path, &lines)) {
            unreadable = true;
            continue;
        }
        for (const analysis::Warning &w : analysis::check(lines)) {
            out(QStringLiteral("%1:%2: %3").arg(path).arg(w.line).arg(w.text));
            ++warnings;
        }
    }
    return warnings > 0 || unreadable ? 1 : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-schedule"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dateOption(QStringLiteral("date"), QStringLiteral("Primer día (AAAA-MM-DD)."),
                                        QStringLiteral("fecha"));
    const QCommandLineOption daysOption(QStringLiteral("days"), QStringLiteral("Número de días."), QStringLiteral("n"),
                                        QStringLiteral("1"));
    parser.addOption(dateOption);
    parser.addOption(daysOption);
    parser.addPositionalArgument(QStringLiteral("orden"), QStringLiteral("preview o check"));
    if (!parser.parse(app.arguments()))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("vantrel-schedule %s\n", VANTREL_VERSION);
        return 0;
    }
    const QStringList args = parser.positionalArguments();
    if (args.value(0) == QLatin1String("preview") && args.size() == 2) {
        const QDate date =
            parser.isSet(dateOption) ? QDate::fromString(parser.value(dateOption), Qt::ISODate) : QDate::currentDate();
        bool ok = false;
        const int days = parser.value(daysOption).toInt(&ok);
        if (!date.isValid())
            return usage(QStringLiteral("fecha no válida: %1").arg(parser.value(dateOption)));
        if (!ok || days < 1 || days > 366)
            return usage(QStringLiteral("número de días no válido: %1").arg(parser.value(daysOption)));
        return preview(args.at(1), date, days);
    }
    if (args.value(0) == QLatin1String("check") && args.size() >= 2)
        return check(args.mid(1));
    return usage(QStringLiteral("orden no reconocida"));
}
