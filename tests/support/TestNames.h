#pragma once

// Names for the cases of parameterised tests, built from their data. GoogleTest takes only
// letters, digits and underscores; every other character gets a name of its own, so different
// texts keep different names.

#include <QString>

#include <string>

// "" → "Empty", "-12a" → "Minus12a", "$ff " → "DollarffSpace", "\u00a05" → "U00A05".
std::string testNameOf(const QString& text);
// A number as a name: -7 → "Minus7".
std::string testNameOf(long long number);
