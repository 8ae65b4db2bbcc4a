#include "support/TestNames.h"

#include <cstdio>

std::string testNameOf(const QString& text)
{
    if (text.isEmpty())
        return "Empty";
    std::string name;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')) {
            name += char(u);
            continue;
        }
        switch (u) {
        case ' ':
            name += "Space";
            break;
        case '\t':
            name += "Tab";
            break;
        case '-':
            name += "Minus";
            break;
        case '+':
            name += "Plus";
            break;
        case '$':
            name += "Dollar";
            break;
        case '.':
            name += "Dot";
            break;
        case '_':
            name += "_";
            break;
        default: {
            char code[8];
            std::snprintf(code, sizeof code, "U%04X", unsigned(u));
            name += code;
        }
        }
    }
    return name;
}

std::string testNameOf(long long number)
{
    return number < 0 ? "Minus" + std::to_string(0ULL - static_cast<unsigned long long>(number))
                      : std::to_string(number);
}
