#include "CommandLine.h"

CommandLineInfo ParseCommandLine(const QStringList& arguments) {
    CommandLineInfo info;
    if (arguments.isEmpty()) return info;
    const QString& first = arguments.first();
    if (first == QLatin1String("--pdf")) {
        info.action = CommandLineInfo::ExportPdf;
        info.files = arguments.mid(1);
        return info;
    }
    const bool print = first == QLatin1String("/p") || first == QLatin1String("-p") ||
                       first == QLatin1String("--print");
    const bool printTo = first == QLatin1String("/pt") || first == QLatin1String("--print-to");
    if ((print && arguments.size() >= 2) || (printTo && arguments.size() >= 3)) {
        info.action = print ? CommandLineInfo::FilePrint : CommandLineInfo::FilePrintTo;
        info.files << arguments[1];
        if (printTo) info.printer = arguments[2];
        return info;
    }
    info.action = CommandLineInfo::FileOpen;
    info.files = arguments;
    return info;
}
