#include "MorseTable.h"

#include <QHash>

namespace MorseTable {

QString patternFor(QChar character) {
    static const QHash<QChar, QString> table = {
        {u'A', ".-"},     {u'B', "-..."},   {u'C', "-.-."},   {u'D', "-.."},    {u'E', "."},
        {u'F', "..-."},   {u'G', "--."},    {u'H', "...."},   {u'I', ".."},     {u'J', ".---"},
        {u'K', "-.-"},    {u'L', ".-.."},   {u'M', "--"},     {u'N', "-."},     {u'O', "---"},
        {u'P', ".--."},   {u'Q', "--.-"},   {u'R', ".-."},    {u'S', "..."},    {u'T', "-"},
        {u'U', "..-"},    {u'V', "...-"},   {u'W', ".--"},    {u'X', "-..-"},   {u'Y', "-.--"},
        {u'Z', "--.."},   {u'0', "-----"},  {u'1', ".----"},  {u'2', "..---"},  {u'3', "...--"},
        {u'4', "....-"},  {u'5', "....."},  {u'6', "-...."},  {u'7', "--..."},  {u'8', "---.."},
        {u'9', "----."},  {u'?', "..--.."}, {u'.', ".-.-.-"}, {u',', "--..--"}, {u'/', "-..-."},
        {u'-', "-....-"}, {u' ', " "},
        // The quotation mark as the old table had it (the pattern of the apostrophe).
        {u'"', ".----."},
    };
    return table.value(character);
}

} // namespace MorseTable
