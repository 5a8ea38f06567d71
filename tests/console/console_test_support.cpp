#include "console_test_support.h"

namespace console_test {

void ConsoleTest::SetUp() {
  options.display = console::DisplayInfo{1024, 768, 32, 1};
  options.program_title = "mapexplorer";
  restart();
}

void ConsoleTest::TearDown() {
  if (core) core->uninstall();
  core.reset();
}

void ConsoleTest::restart() {
  if (core) core->uninstall();
  core.reset();
  presentation.clear();
  core = std::make_unique<console::ConsoleCore>(presentation, options);
  core->install();
}

std::string ConsoleTest::row_text(int window, int row) {
  std::string text;
  with_record(window, [&](console::ChildWindowRecord& record) {
    if (const auto* entry = record.text_store.find(row)) text = entry->text;
  });
  return text;
}

int ConsoleTest::row_first_column(int window, int row) {
  int column = 0;
  with_record(window, [&](console::ChildWindowRecord& record) {
    if (const auto* entry = record.text_store.find(row)) column = entry->first_column;
  });
  return column;
}

int ConsoleTest::store_size(int window) {
  int n = -1;
  with_record(window,
              [&](console::ChildWindowRecord& record) { n = static_cast<int>(record.text_store.rows().size()); });
  return n;
}

QRgb ConsoleTest::pixel(int window, int x, int y) {
  QRgb value = 0;
  with_record(window, [&](console::ChildWindowRecord& record) { value = record.surface().pixel(x, y); });
  return value;
}

void ConsoleTest::with_record(int window, const std::function<void(console::ChildWindowRecord&)>& change) {
  auto record = core->find_window(window);
  ASSERT_TRUE(record) << "no window " << window;
  std::lock_guard lock(record->draw_lock);
  change(*record);
}

std::pair<int, int> ConsoleTest::text_position(int window) {
  std::pair<int, int> position{0, 0};
  with_record(window, [&](console::ChildWindowRecord& record) { position = {record.text_row, record.text_column}; });
  return position;
}

}  // namespace console_test
