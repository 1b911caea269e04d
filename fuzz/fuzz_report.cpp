// Feeds arbitrary bytes to the configuration-report reader as the content of a file. Besides
// crashes and undefined behaviour it stops on a broken invariant: a report read without all
// of its family's settings in order, an address outside 0-9, a refusal without a reason or
// with one too long for a message box, and a report read that does not read back the same
// once written again by the report's own writer.

#include "core/report/ConfigReport.h"
#include "core/report/ReportReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

// A message quotes at most one line, cut short.
constexpr qsizetype kMaxMessage = 400;

void checkRead(const report::ReadReport& r, QStringList* labels, QStringList* values) {
    const QStringList& family =
        r.rotary ? report::rotaryReportLabels() : report::levelReportLabels();
    require(r.error.isEmpty(), "a report read has no error");
    require(r.address >= 0 && r.address <= 9, "address 0-9");
    require(r.settings.size() == family.size(), "every setting of the family");
    for (qsizetype i = 0; i < r.settings.size(); ++i) {
        const report::ReportSetting& s = r.settings.at(i);
        require(s.label == family.at(i), "the family's labels in order");
        require(s.line == r.identification.size() + 3 + i, "setting lines follow the address");
        *labels << s.label;
        *values << s.value;
    }
}

bool same(const report::ReadReport& a, const report::ReadReport& b) {
    if (a.ok != b.ok || a.rotary != b.rotary || a.identification != b.identification ||
        a.serialNumber != b.serialNumber || a.address != b.address ||
        a.settings.size() != b.settings.size())
        return false;
    for (qsizetype i = 0; i < a.settings.size(); ++i)
        if (a.settings[i].label != b.settings[i].label ||
            a.settings[i].value != b.settings[i].value || a.settings[i].line != b.settings[i].line)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const report::ReadReport read = report::readReport(bytes);
    if (!read.ok) {
        require(!read.error.isEmpty() && read.error.size() <= kMaxMessage,
                "a refusal gives a reason that fits a message box");
        require(read.settings.isEmpty(), "a refused file gives no settings");
        return 0;
    }
    QStringList labels, values;
    checkRead(read, &labels, &values);
    const QByteArray written = report::fileText(
        report::reportLines(read.identification, read.serialNumber, read.address, labels, values));
    // Written with CR LF, a file of LF line ends near the size limit may grow beyond it.
    if (written.size() <= 64 * 1024)
        require(same(report::readReport(written), read), "written again, it reads the same");
    return 0;
}
