// The layer rule: a layer includes only the layers below it. Reads the
// includes of every source and header file of the tree and names each one
// that reaches up, so that an upward include fails here even where it would
// build (every library exports the whole source root).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The layers from the bottom up, and what each may include besides itself.
// sim/ stays on platform/core alone so that the simulated chips remain an
// independent reading of the protocols; the bridge library sits above sim/
// because its simulated board drives the simulated I2C chips, and it is the
// only product code that reaches sim/: the engine, the controls and the
// application know no simulator.
struct Layer {
  std::string_view name;
  std::vector<std::string_view> below;  // the layers it may include
  bool anything = false;                // tools, tests and benchmarks
};

const std::vector<Layer>& Layers() {
  static const std::vector<Layer> layers = {
      {"platform/core", {}},
      {"platform/serial", {"platform/core"}},
      {"platform/win32/gdi", {"platform/core", "platform/serial"}},
      {"platform/win32", {"platform/core", "platform/serial", "platform/win32/gdi"}},
      {"sim", {"platform/core"}},
      {"platform/ostrelusb", {"platform/core", "platform/serial", "platform/win32/gdi", "platform/win32", "sim"}},
      {"isp", {"platform/core", "platform/serial", "platform/win32/gdi", "platform/win32", "platform/ostrelusb"}},
      {"controls",
       {"platform/core", "platform/serial", "platform/win32/gdi", "platform/win32", "platform/ostrelusb",
        "isp"}},
      {"res",
       {"platform/core", "platform/serial", "platform/win32/gdi", "platform/win32", "platform/ostrelusb",
        "isp", "controls"}},
      {"app",
       {"platform/core", "platform/serial", "platform/win32/gdi", "platform/win32", "platform/ostrelusb",
        "isp", "controls", "res"}},
      {"tools", {}, true},
      {"tests", {}, true},
      {"bench", {}, true},
  };
  return layers;
}

// Which layer a path of the tree belongs to: the longest prefix wins. The
// system colours and metrics live in system/ but build into the GDI library,
// whose rasteriser draws with them, so they are of the GDI's layer.
std::optional<std::string_view> LayerOf(std::string_view path) {
  static const std::vector<std::pair<std::string_view, std::string_view>> rooms = {
      {"platform/core/", "platform/core"},
      {"platform/serial/", "platform/serial"},
      {"platform/win32/gdi/", "platform/win32/gdi"},
      {"platform/win32/system/system_colours.", "platform/win32/gdi"},
      {"platform/win32/system/system_metrics.", "platform/win32/gdi"},
      {"platform/win32/", "platform/win32"},
      {"platform/ostrelusb/", "platform/ostrelusb"},
      {"sim/", "sim"},
      {"isp/", "isp"},
      {"controls/", "controls"},
      {"res/", "res"},
      {"app/", "app"},
      {"tools/", "tools"},
      {"tests/", "tests"},
      {"bench/", "bench"},
  };
  std::optional<std::string_view> found;
  size_t longest = 0;
  for (const auto& [prefix, layer] : rooms) {
    if (path.starts_with(prefix) && prefix.size() > longest) {
      found = layer;
      longest = prefix.size();
    }
  }
  return found;
}

const Layer* Find(std::string_view name) {
  for (const Layer& l : Layers()) {
    if (l.name == name) return &l;
  }
  return nullptr;
}

// The file an include names, as a path from the root: the including file's
// folder first, as the compiler looks, then the root.
std::string Resolve(const fs::path& root, const std::string& file, const std::string& include) {
  const std::string beside = (fs::path(file).parent_path() / include).lexically_normal().generic_string();
  return fs::is_regular_file(root / beside) ? beside : include;
}

// Empty when `file` (a path from the source root) may include `include` as
// written; otherwise the forbidden edge, "from -> to". An include that names
// no file of a layer (a system header, a generated file) is not checked.
std::string ForbiddenEdge(const fs::path& root, const std::string& file, const std::string& include) {
  const std::optional<std::string_view> from = LayerOf(file);
  const std::optional<std::string_view> to = LayerOf(Resolve(root, file, include));
  if (!from || !to || *to == *from) return "";
  const Layer* layer = Find(*from);
  if (layer->anything || std::find(layer->below.begin(), layer->below.end(), *to) != layer->below.end()) return "";
  return std::string(*from) + " -> " + std::string(*to);
}

bool IsSource(const fs::path& p) {
  const std::string ext = p.extension().string();
  return ext == ".cpp" || ext == ".h" || ext == ".hpp" || ext == ".cc" || ext == ".inc";
}

// Every source and header file under the root, as paths from it; hidden
// folders and build trees (a folder with a CMakeCache.txt) are not the tree.
std::vector<std::string> SourceFiles(const fs::path& root) {
  std::vector<std::string> files;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    if (it->is_directory()) {
      const std::string name = it->path().filename().string();
      if (name.starts_with(".") || fs::exists(it->path() / "CMakeCache.txt")) it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file() && IsSource(it->path())) {
      files.push_back(it->path().lexically_relative(root).generic_string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(Layers, NoIncludeReachesUp) {
  const fs::path root = QV_SOURCE_DIR;
  ASSERT_TRUE(fs::is_directory(root / "isp")) << root;
  const std::regex include(R"re(^\s*#\s*include\s*[<"]([^>"]+)[>"])re");
  std::set<std::string_view> seen;
  for (const std::string& file : SourceFiles(root)) {
    const std::optional<std::string_view> layer = LayerOf(file);
    if (!layer) {
      ADD_FAILURE() << file << ": in no layer of the table";
      continue;
    }
    seen.insert(*layer);
    std::ifstream in(root / file);
    ASSERT_TRUE(in) << file;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      std::smatch m;
      if (line.find('#') == std::string::npos || !std::regex_search(line, m, include)) continue;
      const std::string edge = ForbiddenEdge(root, file, m[1].str());
      if (!edge.empty()) {
        ADD_FAILURE() << file << ":" << number << ": #include \"" << m[1].str() << "\" breaks the layers: " << edge;
      }
    }
  }
  // A layer with no file left means the table names a folder that moved.
  for (const Layer& l : Layers()) {
    EXPECT_TRUE(seen.contains(l.name)) << "no file is in layer " << l.name;
  }
}

// The verdicts on the edges the rule is about, so that a fault in how a
// path finds its layer cannot pass the tree's check unnoticed.
TEST(Layers, EachEdgeGetsItsVerdict) {
  struct Case {
    const char* file;
    const char* include;
    const char* forbidden;  // "" when allowed
  };
  const Case cases[] = {
      {"sim/uart_chip.cpp", "platform/core/wintypes.h", ""},
      {"sim/uart_chip.cpp", "isp/engine.h", "sim -> isp"},
      {"sim/uart_chip.cpp", "platform/serial/serial_port.h", "sim -> platform/serial"},
      {"sim/uart_chip.cpp", "../isp/engine.h", "sim -> isp"},
      {"platform/ostrelusb/OstrelUsbSim.h", "sim/i2c_control_board.h", ""},
      {"platform/ostrelusb/ostrelusb.cpp", "isp/engine.h", "platform/ostrelusb -> isp"},
      {"platform/core/clock.cpp", "platform/serial/serial_port.h", "platform/core -> platform/serial"},
      {"platform/win32/gdi/raster.cpp", "platform/win32/system/system_colours.h", ""},
      {"platform/win32/gdi/raster.cpp", "platform/win32/window.h", "platform/win32/gdi -> platform/win32"},
      {"platform/win32/system/system_metrics.cpp", "platform/win32/gdi/gdi_api.h", ""},
      {"platform/win32/system/system_metrics.cpp", "platform/win32/window.h",
       "platform/win32/gdi -> platform/win32"},
      {"platform/win32/window.cpp", "platform/win32/gdi/gdi_api.h", ""},
      {"platform/win32/window.cpp", "sim/uart_chip.h", "platform/win32 -> sim"},
      {"isp/engine.cpp", "platform/ostrelusb/OstrelUsb.h", ""},
      {"isp/engine.cpp", "app/start_up.h", "isp -> app"},
      {"isp/engine.cpp", "controls/color_label.h", "isp -> controls"},
      {"controls/color_label.cpp", "res/pages_ids.h", "controls -> res"},
      {"res/dialog_download.cpp", "app/start_up.h", "res -> app"},
      {"app/dlg_status.h", "res/pages_ids.h", ""},
      {"app/dlg_status.h", "controls/color_label.h", ""},
      {"tests/jobs/jobs_fixture.h", "app/start_up.h", ""},
      {"bench/startup/main.cpp", "tests/support/pty_fixture.h", ""},
      {"tools/isp-sim/main.cpp", "sim/uart_chip.h", ""},
      {"tests/win32/system_test.cpp", "system_test.moc", ""},
      {"isp/engine.cpp", "QString", ""},
  };
  const fs::path root = QV_SOURCE_DIR;
  for (const Case& c : cases) {
    EXPECT_EQ(ForbiddenEdge(root, c.file, c.include), c.forbidden) << c.file << " includes " << c.include;
  }
}

}  // namespace
