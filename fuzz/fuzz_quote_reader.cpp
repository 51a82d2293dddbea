// Fuzz target: the quote reader with crafted MASTER, layout (F<n>.DOP) and quote files: the
// layout, the series load, the series facts and the quote search.
#include "data/field_layout.h"
#include "data/quote_series.h"
#include "data/rewrite.h"
#include "data/series_facts.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  using namespace barvane;
  FuzzedDataProvider data(bytes, size);
  fuzz::MemoryFs fs;
  fs.dirs.insert("/P");
  const std::string key = data.ConsumeRandomLengthString(20);
  const int first = data.ConsumeIntegralInRange(-2, 300);
  const int count = data.ConsumeIntegralInRange(0, 300);
  const DayNumber day = data.ConsumeIntegral<DayNumber>();
  fs.files["/P/MASTER"] = fuzz::TakeBytes(data, 53 * 6);
  fs.files["/P/F1.DOP"] = fuzz::TakeBytes(data, 400);
  if (data.ConsumeBool()) fs.files["/P/F2.DOP"] = fuzz::TakeBytes(data, 400);
  fs.files["/P/F1.DAT"] = fuzz::TakeBytes(data, 4096);
  fs.files["/P/F2.DAT"] = data.ConsumeRemainingBytes<std::uint8_t>();

  FieldLayout layout;
  for (int length = 0; length <= 32; length += 4) {
    (void)ReadFieldLayout(fs, "/P/", 1, length, length / 4, &layout);
  }
  QuoteSeries series;
  if (AllocSeries(&series, 256) == kSuccess) {
    (void)LoadSeries(fs, &series, "/P/", key, first, count);
    FreeSeries(&series);
  }
  SeriesFacts facts;
  (void)GatherSeriesFacts(fs, "/P/", key, &facts);
  DayNumber foundDay = 0;
  DaySeconds foundTime = 0;
  (void)findrec(fs, "/P/", key, day, 0, &foundDay, &foundTime);
  return 0;
}
