#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <span>

// The names browsers give charsets: every label of the WHATWG Encoding Standard and the encoding
// it stands for. Browsers read a page's declared charset, and the charset of an HTTP
// Content-Type, by this table alone, so the editor reads labels by it too.
namespace EncodingLabels {

struct Encoding
{
    // The encoding's name in lower case ("windows-1252", "shift_jis"): also one of its labels.
    const char* name;
    // All its labels, separated by spaces.
    const char* labels;
};

// The standard's table, one row an encoding.
std::span<const Encoding> table();

// The encoding `label` stands for, by its name in lower case; empty when the label is none of
// the standard's. Case does not matter, nor ASCII white space around the label.
QString encodingOf(QStringView label);

// The name under which Qt's converters (ICU) read `encoding` as browsers do, where the two
// differ; else the encoding's own name.
QByteArray converterName(const QString& encoding);

} // namespace EncodingLabels
