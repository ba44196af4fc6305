#include "catalogue/EmulatorRow.h"

#include "platform/Big5.h"
#include "platform/ByteText.h"
#include "widgets/GridData.h"

namespace rix {

EmulatorRow EmulatorRow::Read(const GridData& table, int row) {
  const auto text = [&](int col) { return Big5Decode(TrimBytes(table.cell(col, row))); };
  const auto flag = [&](int col) { return IsYes(table.cell(col, row)); };
  EmulatorRow r;
  r.optionsPage = text(emucol::OptionsPage);
  r.treeKey = TrimBytes(table.cell(emucol::TreeKey, row));
  r.document = text(emucol::Document);
  r.program = text(emucol::Program);
  r.gameList = text(emucol::GameList);
  r.gameDir = text(emucol::GameDir);
  r.pictureDir = text(emucol::PictureDir);
  r.commandBefore = text(emucol::CommandBefore);
  r.commandAfter = text(emucol::CommandAfter);
  r.startInEmuDir = flag(emucol::StartInEmuDir);
  r.startInGameDir = flag(emucol::StartInGameDir);
  r.directoryMode = flag(emucol::DirectoryMode);
  r.webLink = table.cellBytes(emucol::WebLink, row);
  return r;
}

QByteArray NewCatalogueHeader() {
  static const char* const kCaptions[emucol::Count] = {
      "選項頁",         "階層代碼", "說明檔",     "模擬器",     "遊戲列表",
      "遊戲目錄",       "圖片目錄", "ROM 前參數", "ROM 後參數", "在模擬器目錄執行",
      "在遊戲目錄執行", "目錄模式", "網址"};
  QByteArray line;
  for (const char* c : kCaptions) {
    if (!line.isEmpty()) line += ',';
    line += Big5Encode(QString::fromUtf8(c));
  }
  return line + "\r\n";
}

}  // namespace rix
