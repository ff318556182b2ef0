// Make list on a fuzzed configuration and database, in every index mode and
// both page styles. The page must be written, and hold one row for each item
// that is listed: all items but those the notice says were left out.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "app/OpenConfigurationFile.h"
#include "config/ConfigFile.h"
#include "grid/GridCtrl.h"
#include "items/DatabaseFile.h"
#include "output/ListGenerator.h"

using namespace tabulon;

namespace {

std::size_t Count(const std::string& text, std::string_view what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
    return count;
}

// The number the notice of left-out items starts with; 0 without one.
int LeftOut(const fakes::ScriptedMessageBox& messages) {
    for (const auto& m : messages.shown)
        if (m.text.find("left out of the page") != std::string::npos) return std::atoi(m.text.c_str());
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::ScratchFiles files;
    static fuzz::World world;
    const fuzz::EmptiedAfter emptied(world);
    static const std::string head = files.Write("head.htm", "<html>\n");
    static const std::string end = files.Write("end.htm", "</html>\n");
    FuzzedDataProvider input(data, size);
    // Fuzzed lines after a valid start; a later line wins.
    const std::string extra = input.ConsumeRandomLengthString(2048);
    const std::string database = files.Write("items.db", input.ConsumeRemainingBytesAsString());
    const std::string cfg = files.Write("list.cfg",
                                        "[files]\r\ndatabase = items.db\r\noutput   = page.htm\r\n"
                                        "headfile = head.htm\r\nendfile  = end.htm\r\n[colors]\r\n"
                                        "headcol  = AAAAAA\r\nindexcol = BBBBBB\r\nfirstcol = 111111\r\n"
                                        "secondcol= 222222\r\n" +
                                            extra);
    CMainFrame& frame = world.session.Frame();
    world.messages.shown.clear();
    world.publisher.calls.clear();
    if (!OpenConfigurationFile(frame, cfg)) return 0;
    // Whatever files the fuzzed lines name, the list is made from these.
    CListConfig& config = frame.Config();
    config.database = database;
    config.output = files.Path("page.htm");
    config.headfile = head;
    config.endfile = end;
    if (!ValidateConfig(frame) || !LoadDatabaseFile(frame)) return 0;
    const int items = frame.DatabasePane().GetGrid()->GetRowCount() - 1;
    for (int style = 0; style <= 1; ++style) {
        config.pagestyle = style;
        for (int mode = 0; mode <= 4; ++mode) {
            config.addindex = mode;
            world.messages.shown.clear();
            world.publisher.calls.clear();
            std::remove(config.output.c_str());
            if (!MakeList(frame)) fuzz::Finding("Make list failed");
            const std::string page = fuzz::ScratchFiles::Read(config.output);
            const std::size_t listed = static_cast<std::size_t>(items - LeftOut(world.messages));
            if (!page.starts_with("<!-- Created with Tabulon by Korvanex -->\r\n") ||
                !page.ends_with(style == 0 ? "</TABLE>\r\n</html>\n" : "</script>\r\n</html>\n"))
                fuzz::Finding("the page is not whole");
            // Each item row ends so (and on the page of old the row of
            // names too); no text can hold a line feed.
            const std::size_t rows = style == 0 ? Count(page, "</TR>\r\n\r\n") - 1 : Count(page, "</td></tr>\r\n");
            if (rows != listed) fuzz::Finding("the rows on the page do not match the items and the notice");
        }
    }
    return 0;
}
