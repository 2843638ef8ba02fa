#include "display/message_table.h"

#include "common/text.h"

namespace {

// The texts are shipped as they are, spelling included: translators key their
// own files on them.
constexpr MessageRow kRows[kMessageRows] = {
    {126, u"msg001", u"Power Off or Cable problem."},
    {1, u"msg002", u"Service Call."},
    {2, u"msg003", u"No Cassette."},
    {3, u"msg004", u"Companent Fail."},
    {5, u"msg005", u"Front cover open."},
    {6, u"msg006", u"No Cartridge."},
    {7, u"msg007", u"No Toner."},
    {32, u"msg008", u"Paper Empty."},
    {33, u"msg009", u"Paper Jam."},
    {34, u"msg010", u"Paper Size Error."},
    {35, u"msg011", u"Paper Mismatch."},
    {112, u"msg012", u"Printer is busy for other job."},
    {130, u"msg013", u"Warm up..."},
    {129, u"msg014", u"Pause..."},
    {133, u"msg015", u"Sleep..."},
    {134, u"msg016", u"Memory is full."},
    {135, u"msg017", u"Toner low."},
    {80, u"msg018", u"Please make the printed side face down."},
    {256, u"msg019", u"MFP error."},
    {257, u"msg020", u"Duplex modul error."},
    {258, u"msg021", u"Printer module Error."},
    {259, u"msg022", u"No fuser."},
    {260, u"msg023", u"Paper jam."},
    {261, u"msg024", u"Paper jam."},
    {262, u"msg025", u"Paper jam."},
    {263, u"msg026", u"Paper jam ."},
    {264, u"msg027", u"Paper jam."},
    {265, u"msg028", u"Rear cover open."},
    {266, u"msg029", u"Duplex module rear cover open."},
    {267, u"msg030", u"Manual tray open."},
    {268, u"msg031", u"Main tray open."},
    {269, u"msg032", u"Manual tray paper empty."},
    {270, u"msg033", u"Main tray paper empty."},
    {271, u"msg034", u"Fuser low."},
    {136, u"msg035", u"Toner empty."},
    {272, u"msg036", u"Main unit error."},
    {273, u"msg037", u"Transfer roller error."},
    {274, u"msg038", u"Feed roller error."},
    {275, u"msg039", u"MFP memory full."},
    {276, u"msg040", u"Store job fail."},
    {277, u"msg041", u"Store job name change to"},
    {278, u"msg042", u"Tray 2 Open."},
    {279, u"msg043", u"Tray 2 paper empty."},
    {65535, u"msg044", u"Unknow error."},
    {280, u"msg045", u"Please make the printed side face up."},
    {281, u"msg046", u"Please make the printed side face up."},
    {282, u"msg047", u"MFP Paper Mismatch."},
    {283, u"msg048", u"Paper jam."},
};

} // namespace

const MessageRow* SM_MessageRows()
{
    return kRows;
}

const MessageRow* SM_FindMessageRow(int code)
{
    for (const MessageRow& row : kRows) {
        if (row.code == code)
            return &row;
    }
    return nullptr;
}

void SM_ComposeStoreJobText(char16_t* out, size_t cap, std::u16string_view text, std::u16string_view storeName)
{
    MISC_CopyText(out, cap, text);
    MISC_AppendText(out, cap, u" ");
    MISC_AppendText(out, cap, storeName);
    MISC_AppendText(out, cap, u".");
}
