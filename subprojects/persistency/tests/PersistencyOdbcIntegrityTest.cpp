// Integrity of the stores under hostile and extreme inputs, concurrent
// updates and damaged rows: what goes in either comes back exactly or is
// refused with an error, and a read never mixes two versions of a case.

#include "NodeTestTypes.h"
#include "OdbcTestStore.h"

#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/PersistencyOdbc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <optional>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace odbctest;

namespace {

// A case of two units: U1 with two stages, U2 with three (8 nodes).
std::unique_ptr<Node> createCase() {
  registerTestTypes();
  Defaults options("CASE", "Test case");
  options.setInteger("nUnits", 2).setInteger("U2.nStages", 3);
  return NodeFactory().create("TestFlowsheet", options, 0, nullptr, nullptr, nullptr);
}

std::unique_ptr<Node> readCase(Persistency &store, int storedId) {
  return NodeFactory().create("TestFlowsheet", Defaults(), storedId, &store, nullptr, nullptr);
}

// Every phase and unit of the case, for writing and checking versions.
template <class Visit> void visitCase(Node &root, Visit &&visit) {
  auto &flowsheet = dynamic_cast<TestFlowsheet &>(root);
  visit(flowsheet);
  for (const auto &[unitTag, unitNode] : root.children()) {
    auto &unit = dynamic_cast<TestUnit &>(*unitNode);
    visit(unit);
    for (const auto &[phaseTag, phaseNode] : unit.children())
      visit(dynamic_cast<TestPhase &>(*phaseNode));
  }
}

// Writes version v into every variable of the case.
struct Version {
  int v;
  void operator()(TestFlowsheet &flowsheet) const { flowsheet.title = "v" + std::to_string(v); }
  void operator()(TestUnit &unit) const { unit.T = Value(v, "K"); }
  void operator()(TestPhase &phase) const {
    phase.mdot = Value(v, "kg/s");
    for (std::size_t i = 0; i < phase.mdotcomps.size(); ++i)
      phase.mdotcomps[i] = Value(v + 0.5 * i, "kg/s");
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 3; ++c)
        phase.k(r, c) = Value(v * 10.0 + r + c);
    phase.counts.value() = {v, v};
    phase.names.value() = {"v" + std::to_string(v), "v" + std::to_string(v)};
  }
};

// Collects the versions that the variables of a case carry.
struct Versions {
  std::set<double> seen;
  void operator()(TestFlowsheet &flowsheet) {
    seen.insert(std::stod(flowsheet.title.value().substr(1)));
  }
  void operator()(TestUnit &unit) { seen.insert(unit.T.value()); }
  void operator()(TestPhase &phase) {
    seen.insert(phase.mdot.value());
    for (std::size_t i = 0; i < phase.mdotcomps.size(); ++i)
      seen.insert(phase.mdotcomps[i].value() - 0.5 * i);
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 3; ++c)
        seen.insert((phase.k(r, c).value() - r - c) / 10.0);
    for (int count : phase.counts.value())
      seen.insert(count);
    for (const std::string &name : phase.names.value())
      seen.insert(std::stod(name.substr(1)));
  }
};

int exitCode(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PersistencyOdbcIntegrityTest : public StoreTest {};

} // namespace

// One process updates the case round after round while this one reads it:
// every read gives one version of the whole case.
TEST_P(PersistencyOdbcIntegrityTest, ReadsDuringUpdatesSeeOneVersion) {
  constexpr int rounds = 15;
  {
    auto original = createCase();
    visitCase(*original, Version{0});
    PersistencyOdbc store(dsn_);
    ASSERT_EQ(original->insert(store), 0);
  }
  int started[2];
  ASSERT_EQ(pipe(started), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(started[0]);
    int code = 0;
    try {
      PersistencyOdbc store(dsn_);
      auto updated = readCase(store, 0);
      const char byte = 1;
      if (write(started[1], &byte, 1) != 1)
        code = 4;
      close(started[1]);
      for (int v = 1; v <= rounds; ++v) {
        visitCase(*updated, Version{v});
        updated->update(store);
      }
    } catch (Error &error) {
      std::cerr << error.message();
      code = 1;
    } catch (...) {
      code = 3;
    }
    _exit(code);
  }
  close(started[1]);
  char byte = 0;
  ASSERT_EQ(read(started[0], &byte, 1), 1);
  close(started[0]);
  PersistencyOdbc store(dsn_);
  std::set<double> versionsRead;
  for (int r = 0; r < rounds; ++r) {
    auto restored = readCase(store, 0);
    Versions versions;
    visitCase(*restored, versions);
    EXPECT_EQ(versions.seen.size(), 1u)
        << "read " << r << " mixes versions " << *versions.seen.begin() << " and "
        << *versions.seen.rbegin();
    versionsRead.insert(versions.seen.begin(), versions.seen.end());
  }
  EXPECT_EQ(exitCode(child), 0);
  auto last = readCase(store, 0);
  Versions versions;
  visitCase(*last, versions);
  EXPECT_EQ(versions.seen, std::set<double>{double(rounds)});
}

// The versions that the variables of the case stored at id carry, read on
// a connection of its own.
std::set<double> storedVersions(const std::string &dsn, int id) {
  PersistencyOdbc store(dsn);
  auto stored = readCase(store, id);
  Versions versions;
  visitCase(*stored, versions);
  return versions.seen;
}

// Two processes update two different cases round after round at the same
// time: neither waits for the other's case, and both cases end whole, at
// their writer's last version.
TEST_P(PersistencyOdbcIntegrityTest, ConcurrentUpdatesOfTwoCasesBothLandWhole) {
  constexpr int rounds = 10;
  int ids[2] = {0, 0};
  {
    PersistencyOdbc store(dsn_);
    for (int c = 0; c < 2; ++c) {
      auto original = createCase();
      visitCase(*original, Version{0});
      ids[c] = original->insert(store);
    }
  }
  ASSERT_NE(ids[0], ids[1]);
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  std::vector<pid_t> writers;
  for (int c = 0; c < 2; ++c) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(start[1]);
      int code = 0;
      try {
        PersistencyOdbc store(dsn_);
        auto updated = readCase(store, ids[c]);
        char byte = 0;
        if (read(start[0], &byte, 1) != 0) // released together when the pipe closes
          code = 4;
        for (int v = 1; v <= rounds; ++v) {
          visitCase(*updated, Version{100 * (c + 1) + v});
          updated->update(store);
        }
      } catch (Error &error) {
        std::cerr << error.message();
        code = 1;
      } catch (...) {
        code = 3;
      }
      _exit(code);
    }
    writers.push_back(child);
  }
  close(start[0]);
  close(start[1]);
  for (pid_t writer : writers)
    EXPECT_EQ(exitCode(writer), 0);
  EXPECT_EQ(storedVersions(dsn_, ids[0]), std::set<double>{100.0 + rounds});
  EXPECT_EQ(storedVersions(dsn_, ids[1]), std::set<double>{200.0 + rounds});
}

// The statements that one connection keeps and runs again still write and
// read right after a failed write (rolled back), across transactions, and
// when an insertion follows updates.
TEST_P(PersistencyOdbcIntegrityTest, KeptStatementsServeAgainAfterAFailedWrite) {
  PersistencyOdbc store(dsn_);
  auto original = createCase();
  visitCase(*original, Version{0});
  ASSERT_EQ(original->insert(store), 0);
  auto updated = readCase(store, 0);
  visitCase(*updated, Version{1});
  updated->update(store);

  // U1 (node 1) loses the row of its temperature: the next update fails.
  RawConnection raw(dsn_);
  raw.execute("UPDATE Q SET TAG = 'Tgone' WHERE NID = 1 AND TAG = 'T'");
  visitCase(*updated, Version{2});
  EXPECT_THROW(updated->update(store), ErrorOdbc);
  raw.execute("UPDATE Q SET TAG = 'T' WHERE NID = 1 AND TAG = 'Tgone'");
  EXPECT_EQ(storedVersions(dsn_, 0), std::set<double>{1});

  visitCase(*updated, Version{3});
  updated->update(store);
  auto copy = createCase();
  visitCase(*copy, Version{4});
  const int copyId = copy->insert(store);
  visitCase(*updated, Version{5});
  updated->update(store);
  for (const auto &[id, version] : {std::pair{0, 5.0}, std::pair{copyId, 4.0}}) {
    Versions onThis;
    visitCase(*readCase(store, id), onThis);
    EXPECT_EQ(onThis.seen, std::set<double>{version}) << "case " << id << ", same connection";
    EXPECT_EQ(storedVersions(dsn_, id), std::set<double>{version}) << "case " << id;
  }
}

namespace {

std::unique_ptr<TestPhase> createPhase() {
  registerTestTypes();
  std::unique_ptr<Node> node =
      NodeFactory().create("TestPhase", Defaults("P", "Phase"), 0, nullptr, nullptr, nullptr);
  return std::unique_ptr<TestPhase>(dynamic_cast<TestPhase *>(node.release()));
}

std::unique_ptr<TestPhase> readPhase(Persistency &store, int storedId) {
  std::unique_ptr<Node> node =
      NodeFactory().create("TestPhase", Defaults(), storedId, &store, nullptr, nullptr);
  return std::unique_ptr<TestPhase>(dynamic_cast<TestPhase *>(node.release()));
}

// A hostile text, and what the store keeps of it (nothing: refused).
struct TextCase {
  const char *name;
  std::string input;
  std::optional<std::string> stored;
};

const std::string emoji = "\xF0\x9F\x98\x80"; // U+1F600, a surrogate pair in UTF-16

const TextCase textCases[] = {
    {"Quotes and statement text", "'; DROP TABLE N; -- \" \\ %s ?",
     "'; DROP TABLE N; -- \" \\ %s ?"},
    {"Characters beyond the BMP", emoji + "\xC3\xA9\xE2\x82\xAC" + emoji,
     emoji + "\xC3\xA9\xE2\x82\xAC" + emoji},
    {"Cut at 255 units", std::string(300, 'a'), std::string(255, 'a')},
    {"Cut before a pair that would be split", std::string(254, 'b') + emoji, std::string(254, 'b')},
    {"Pair that just fits", std::string(253, 'c') + emoji + "d", std::string(253, 'c') + emoji},
    {"Embedded NUL refused", std::string("before\0after", 12), std::nullopt},
    {"Empty", "", ""},
};

} // namespace

// Hostile texts in a scalar (S) and a vector element (SV): stored, read,
// written by an update over a stored case, and read again.
TEST_P(PersistencyOdbcIntegrityTest, HostileTextsComeBackExactlyOrAreRefused) {
  PersistencyOdbc store(dsn_);
  auto plain = createPhase();
  const int plainId = plain->insert(store);
  for (const TextCase &c : textCases) {
    SCOPED_TRACE(c.name);
    auto phase = createPhase();
    phase->typeP = c.input;
    phase->names.value() = {"first", c.input};
    if (!c.stored) {
      EXPECT_THROW(phase->insert(store), Error);
      auto stored = readPhase(store, plainId);
      const std::string before = stored->typeP.value();
      stored->typeP = c.input;
      EXPECT_THROW(stored->update(store), Error);
      EXPECT_EQ(readPhase(store, plainId)->typeP.value(), before);
      continue;
    }
    const int id = phase->insert(store);
    auto restored = readPhase(store, id);
    EXPECT_EQ(restored->typeP.value(), *c.stored);
    EXPECT_EQ(restored->names.value(), (std::vector<std::string>{"first", *c.stored}));

    auto updated = readPhase(store, plainId);
    updated->typeP = c.input;
    updated->names.value() = {c.input};
    updated->update(store);
    auto reread = readPhase(store, plainId);
    EXPECT_EQ(reread->typeP.value(), *c.stored);
    EXPECT_EQ(reread->names.value(), std::vector<std::string>{*c.stored});
  }
}

namespace {

// A number, what the store keeps of it, and whether the store must report
// that it changed it (one line on standard error per write).
struct NumberCase {
  const char *name;
  double input;
  double stored;
  bool reported;
};

constexpr double largest = std::numeric_limits<double>::max();
constexpr double infinity = std::numeric_limits<double>::infinity();
// Half the largest double, the stand-in for an infinity.
constexpr double halfLargest = 8.988465674311579e307;

const NumberCase numberCases[] = {
    {"One tenth", 0.1, 0.1, false},
    {"Negative zero", -0.0, -0.0, false},
    {"Largest", largest, largest, false},
    {"Negative largest", -largest, -largest, false},
    {"Smallest normal", 2.2250738585072014e-308, 2.2250738585072014e-308, false},
    {"Subnormal 2^-1023", 0x1p-1023, 0x1p-1023, false},
    {"Huge with all digits", 1.2345678901234567e300, 1.2345678901234567e300, false},
    {"Tiny with all digits", -9.8765432109876543e-300, -9.8765432109876543e-300, false},
    {"Beyond 2^53", 9007199254740994.0, 9007199254740994.0, false},
    {"NaN becomes 0", std::numeric_limits<double>::quiet_NaN(), 0.0, true},
    {"Infinity becomes half the largest", infinity, halfLargest, true},
    {"Negative infinity", -infinity, -halfLargest, true},
    {"Below 2^-1023 becomes 2^-1021", 0x1p-1074, 0x1p-1021, true},
};

std::uint64_t bits(double value) { return std::bit_cast<std::uint64_t>(value); }

// Bit patterns of finite doubles spread over the whole range, none below
// 2^-1023 in magnitude (those are replaced by design).
std::vector<double> spreadDoubles(std::size_t count, std::uint64_t seed) {
  std::vector<double> values;
  std::uint64_t state = seed;
  while (values.size() < count) {
    state = state * 6364136223846793005u + 1442695040888963407u; // Knuth's MMIX generator
    const double value = std::bit_cast<double>(state);
    if (std::isfinite(value) && std::fabs(value) >= 0x1p-1023)
      values.push_back(value);
  }
  return values;
}

int linesOf(const std::string &text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// SI values built with their units directly: converted from a unit, -0.0
// would become +0.0 before it reached the store.
void setNumbers(TestPhase &phase, double value) {
  const Value flow(value, Value(1.0, "kg/s").units());
  phase.mdot = flow;
  phase.mdotcomps.resize(2);
  phase.mdotcomps[0] = flow;
  phase.mdotcomps[1] = flow;
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c)
      phase.k(r, c) = Value(value);
}

void expectNumbers(TestPhase &phase, double stored) {
  EXPECT_EQ(bits(phase.mdot.value()), bits(stored)) << phase.mdot.value();
  ASSERT_EQ(phase.mdotcomps.size(), 2u);
  EXPECT_EQ(bits(phase.mdotcomps[1].value()), bits(stored)) << phase.mdotcomps[1].value();
  EXPECT_EQ(bits(phase.k(1, 2).value()), bits(stored)) << phase.k(1, 2).value();
}

} // namespace

// Extreme numbers in a scalar (Q), a vector (QV) and a matrix (QM), through
// insertion and update: every finite double comes back bit for bit, and a
// value the store cannot hold is replaced and reported.
TEST_P(PersistencyOdbcIntegrityTest, NumbersComeBackBitForBitOrAreReportedReplaced) {
  PersistencyOdbc store(dsn_);
  const int plainId = createPhase()->insert(store);
  for (const NumberCase &c : numberCases) {
    SCOPED_TRACE(c.name);
    auto phase = createPhase();
    setNumbers(*phase, c.input);
    testing::internal::CaptureStderr();
    const int id = phase->insert(store);
    std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(linesOf(report), c.reported ? 1 : 0) << report;
    if (c.reported) {
      EXPECT_NE(report.find("9 values were stored replaced"), std::string::npos) << report;
    }
    expectNumbers(*readPhase(store, id), c.stored);

    auto updated = readPhase(store, plainId);
    setNumbers(*updated, c.input);
    testing::internal::CaptureStderr();
    updated->update(store);
    report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(linesOf(report), c.reported ? 1 : 0) << report;
    expectNumbers(*readPhase(store, plainId), c.stored);
  }
  // The extreme integers, in a vector (IV).
  {
    auto phase = createPhase();
    const std::vector<int> extremes = {std::numeric_limits<int>::min(),
                                       std::numeric_limits<int>::max()};
    phase->counts.value() = extremes;
    const int id = phase->insert(store);
    EXPECT_EQ(readPhase(store, id)->counts.value(), extremes);
  }
  // Doubles over the whole range, inserted, then rewritten in place.
  for (const std::uint64_t seed : {1u, 2u}) {
    const std::vector<double> values = spreadDoubles(400, seed);
    auto phase = seed == 1 ? createPhase() : readPhase(store, plainId);
    phase->mdotcomps.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
      phase->mdotcomps[i] = Value(values[i], "kg/s");
    const int id = seed == 1 ? phase->insert(store) : phase->update(store);
    auto restored = readPhase(store, id);
    ASSERT_EQ(restored->mdotcomps.size(), values.size());
    int differing = 0;
    for (std::size_t i = 0; i < values.size(); ++i)
      if (bits(restored->mdotcomps[i].value()) != bits(values[i]) && ++differing <= 3)
        ADD_FAILURE() << "seed " << seed << ": " << values[i] << " came back as "
                      << restored->mdotcomps[i].value();
    EXPECT_EQ(differing, 0);
  }
}

namespace {

// A damage done with raw SQL to the stored case of createCase (stored at 0;
// node 2 is U1:Sphase[0], a phase with every kind of variable, node 3 the
// phase U1:Sphase[1]), and a text that the error of the read must hold.
// The damage is made on PostgreSQL with its own statement where it differs
// ("-": SQLite keeps what PostgreSQL refuses to store).
struct DamageCase {
  const char *name;
  std::string sql;
  std::string postgresql;
  std::string named;
};

const std::string mdotcomps = "(SELECT ID FROM QV WHERE NID = 2 AND TAG = 'mdotcomps')";
const std::string kMatrix = "(SELECT ID FROM QM WHERE NID = 2 AND TAG = 'k')";
const std::string damaged = "Stored case 0 is damaged: ";
const std::string unreadable = "Stored case 0 cannot be read: ";

const DamageCase damageCases[] = {
    {"Vector element row missing",
     "DELETE FROM QVV WHERE ID = (SELECT MIN(ID) + 1 FROM QVV WHERE VID = " + mdotcomps + ")", "",
     damaged + "node 2, tag \"mdotcomps\" in table QVV"},
    {"Matrix elements do not fill its rows",
     "DELETE FROM QMV WHERE ID = (SELECT MAX(ID) FROM QMV WHERE MID = " + kMatrix + ")", "",
     damaged + "node 2, tag \"k\" in table QMV"},
    {"Matrix element row missing inside",
     "DELETE FROM QMV WHERE ID IN (SELECT MIN(ID) + 1 FROM QMV WHERE MID = " + kMatrix +
         " UNION SELECT MIN(ID) + 2 FROM QMV WHERE MID = " + kMatrix + ")",
     "", damaged + "node 2, tag \"k\" in table QMV"},
    {"Two rows for one scalar",
     "INSERT INTO Q (NID, TAG, DESCRIPTION, VALUE, UNIT, INPUT, OUTPUT) SELECT NID, TAG, "
     "DESCRIPTION, VALUE + 1, UNIT, INPUT, OUTPUT FROM Q WHERE NID = 2 AND TAG = 'mdot'",
     "", damaged + "node 2, tag \"mdot\" in table Q"},
    {"Two rows for one text",
     "INSERT INTO S (NID, TAG, DESCRIPTION, VALUE) VALUES (2, 'typeP', '', 'x')", "",
     damaged + "node 2, tag \"typeP\" in table S"},
    {"Two headers for one vector",
     "INSERT INTO IV (NID, TAG, DESCRIPTION) VALUES (2, 'counts', '')", "",
     damaged + "node 2, tag \"counts\" in table IV"},
    {"Parent row missing", "DELETE FROM N WHERE ID = 1", "",
     damaged + "node 2, tag \"Sphase[0]\" in table N: its parent row is missing"},
    {"Child pointing at itself", "UPDATE N SET PARENT = ID WHERE ID = 3", "",
     damaged + "node 3, tag \"Sphase[1]\" in table N"},
    {"Leaf child row missing", "DELETE FROM N WHERE ID = 3", "",
     damaged + "node 3, tag \"typeP\" in table S: no row of table N holds node 3, which "
               "belongs under node 1 (tag \"U1\"): a child row is missing"},
    {"Child read as another registered type", "UPDATE N SET TYPE = 'TestUnit' WHERE ID = 3", "",
     damaged + "node 3, tag \"typeP\" in table S: its type TestUnit has no such variable"},
    {"Child of a type that is not registered", "UPDATE N SET TYPE = 'NoSuchType' WHERE ID = 3",
     "", damaged + "node 3, child of node 1 (tag \"U1\") in table N: its TYPE \"NoSuchType\""},
    {"Child without a type", "UPDATE N SET TYPE = NULL WHERE ID = 3", "",
     damaged + "node 3, child of node 1 in table N: Could not read TYPE field"},
    {"Infinite quantity", "UPDATE Q SET VALUE = 9e999 WHERE NID = 2 AND TAG = 'mdot'",
     "UPDATE Q SET VALUE = 'Infinity' WHERE NID = 2 AND TAG = 'mdot'",
     damaged + "node 2, tag \"mdot\" in table Q: VALUE holds inf where a finite number belongs"},
    {"Infinite vector element", "UPDATE QVV SET VALUE = -9e999 WHERE VID = " + mdotcomps,
     "UPDATE QVV SET VALUE = '-Infinity' WHERE VID = " + mdotcomps,
     damaged + "node 2, tag \"mdotcomps\" in table QVV: VALUE holds -inf"},
    {"Not a number in a matrix", "-", "UPDATE QMV SET VALUE = 'NaN' WHERE MID = " + kMatrix,
     damaged + "node 2, tag \"k\" in table QMV: VALUE holds nan"},
    {"Quantity without its value", "UPDATE Q SET VALUE = NULL WHERE NID = 2 AND TAG = 'mdot'", "",
     unreadable + "node 2, tag \"mdot\" in table Q: Could not read VALUE field in Q table"},
    {"Unit that does not fit", "UPDATE Q SET UNIT = 'm' WHERE NID = 2 AND TAG = 'mdot'", "",
     unreadable + "node 2, tag \"mdot\" in table Q: "},
    {"Text that is not UTF-8",
     "UPDATE S SET VALUE = CAST(X'C328' AS TEXT) WHERE NID = 2 AND TAG = 'typeP'", "-",
     unreadable + "node 2, tag \"typeP\" in table S: "},
    {"Text for a number", "UPDATE Q SET VALUE = 'abc' WHERE NID = 2 AND TAG = 'mdot'", "-",
     damaged + "node 2, tag \"mdot\" in table Q: VALUE holds text"},
    {"Text for a vector element", "UPDATE QVV SET VALUE = '1.5' || 'x' WHERE VID = " + mdotcomps,
     "-", damaged + "node 2, tag \"mdotcomps\" in table QVV: VALUE holds text"},
    {"Integer beyond 32 bits", "UPDATE I SET VALUE = 4294967298 WHERE NID = 1 AND TAG = 'nStages'",
     "-", damaged + "node 1, tag \"nStages\" in table I: VALUE holds beyond 32 bits"},
    {"Vector element beyond 32 bits",
     "UPDATE IVV SET VALUE = -4294967296 WHERE VID = (SELECT ID FROM IV WHERE NID = 2)", "-",
     damaged + "node 2, tag \"counts\" in table IVV"},
};

} // namespace

// Damaged rows make reading the case an error that names the case, node,
// tag and table, never silently different or missing data.
TEST_P(PersistencyOdbcIntegrityTest, DamagedRowsAreErrorsNamingCaseNodeAndTag) {
  PersistencyOdbc store(dsn_);
  RawConnection raw(dsn_);
  for (const DamageCase &c : damageCases) {
    const std::string &sql =
        GetParam() == Database::postgresql && !c.postgresql.empty() ? c.postgresql : c.sql;
    if (sql == "-")
      continue;
    SCOPED_TRACE(c.name);
    raw.emptyAllTables();
    ASSERT_EQ(createCase()->insert(store), 0);
    ASSERT_NO_THROW(readCase(store, 0));
    raw.execute(sql);
    try {
      readCase(store, 0);
      ADD_FAILURE() << "read without an error";
    } catch (const Error &error) {
      EXPECT_NE(error.message().find(c.named), std::string::npos) << error.message();
    }
  }
}

// Ids stay within the 32-bit range: the next free id never wraps, and a
// block that would pass the largest id is refused.
TEST_P(PersistencyOdbcIntegrityTest, IdsNeverPassTheLargestId) {
  constexpr int largest = std::numeric_limits<int>::max();
  RawConnection raw(dsn_);
  const auto lastCase = [&](int id, int range) {
    raw.emptyAllTables();
    raw.execute("INSERT INTO N (ID, UUID, TAG, PARENT, ROOT, RANGE) VALUES (" + std::to_string(id) +
                ", 'u', 'last', " + std::to_string(id) + ", " + std::to_string(id) + ", " +
                std::to_string(range) + ")");
  };
  PersistencyOdbc store(dsn_);
  lastCase(largest - 3, 3);
  ASSERT_EQ(store.getId(), largest);
  auto phase = createPhase(); // one node
  EXPECT_EQ(phase->insert(store), largest);
  EXPECT_THROW(store.getId(), ErrorOdbc);
  EXPECT_THROW(createPhase()->insert(store), ErrorOdbc);

  lastCase(largest - 9, 3);
  EXPECT_THROW(createCase()->insert(store), ErrorOdbc); // 8 ids from largest - 6
  EXPECT_EQ(raw.integer("SELECT COUNT(*) FROM N"), 1);
  EXPECT_EQ(store.getId(), largest - 6);
}

// Tags the store could not hold exactly are refused where they are made:
// cut or trimmed, a variable's tag would find another variable's rows or
// none, and two nodes would be stored under tags that cannot be told apart.
TEST(StorableTags, TagsTheStoreCannotHoldAreRefusedWhereMade) {
  registerTestTypes();
  const std::string fifty(50, 't');
  std::string fiftyAccented; // 100 bytes, 50 UTF-16 units
  for (int i = 0; i < 50; ++i)
    fiftyAccented += "\xC3\xA9";
  EXPECT_NO_THROW(Quantity(fifty, "", 1.0, "m", nullptr));
  EXPECT_NO_THROW(String(fiftyAccented, "", "", nullptr));
  const auto node = [](const std::string &tag) {
    return NodeFactory().create("TestPhase", Defaults(tag, ""), 0, nullptr, nullptr, nullptr);
  };
  EXPECT_NO_THROW(node(fifty));
  EXPECT_NO_THROW(node(fiftyAccented)->setTag("V" + fiftyAccented.substr(2)));
  const std::string refused[] = {fifty + "u", fiftyAccented + "u", "vec ", std::string("a\0b", 3)};
  for (const std::string &tag : refused) {
    EXPECT_THROW(Quantity(tag, "", 1.0, "m", nullptr), ErrorRunTime);
    EXPECT_THROW(QuantityVector(tag, "", 2, Value(1.0), nullptr), ErrorRunTime);
    EXPECT_THROW(Integer(tag, "", 1, nullptr), ErrorRunTime);
    EXPECT_THROW(StringVector(tag, "", 1, "", nullptr), ErrorRunTime);
  }
  // Node tags: the length rule, named in the error with the limit.
  for (const std::string &tag : {fifty + "u", fiftyAccented + "u"}) {
    try {
      node(tag);
      ADD_FAILURE() << "made with tag " << tag;
    } catch (const ErrorRunTime &error) {
      EXPECT_NE(error.message().find("tag \"" + tag + "\" cannot be stored: it is longer than the "
                                     "50 characters that the store holds"),
                std::string::npos)
          << error.message();
    }
    auto made = node("P");
    EXPECT_THROW(made->setTag(tag), ErrorRunTime);
    EXPECT_EQ(made->tag(), "P");
  }
  // A child whose tag is too long is refused when it is added: the tree is
  // never stored.
  Defaults options("CASE", "");
  options.setInteger("nUnits", 1);
  auto flowsheet =
      NodeFactory().create("TestFlowsheet", options, 0, nullptr, nullptr, nullptr);
  EXPECT_THROW(flowsheet->addChild("TestUnit", Defaults(fifty + "A", "")), ErrorRunTime);
  EXPECT_EQ(flowsheet->childCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Databases, PersistencyOdbcIntegrityTest,
                         ::testing::Values(Database::sqlite, Database::postgresql),
                         databaseParameterName);
