#include "velta/flowsheet/Column.h"

#include "velta/core/MyCast.h"
#include "velta/flowsheet/ColumnSection.h"
#include "velta/flowsheet/RatingColumn.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <climits>
#include <sstream>

const char *const Column::typeName = "Column";

namespace {

// The column's options for a section: the stage count and the stage and
// stream types, each only where the column's set does not name it.
Defaults sectionOptions(const Defaults &column, const std::string &tag,
                        const std::string &description, int nStage, const std::string &flashType) {
  Defaults options = column.relay(tag, description);
  options.setInteger("nStage", nStage);
  options.setString("typeT", flashType);
  options.setString("typeU", column.hasString("typeW") ? column.getString("typeW") : "");
  options.setString("typeV", "StreamVapor");
  return options;
}

std::string indexed(const std::string &prefix, int i) {
  return prefix + "[" + std::to_string(i) + "]";
}

} // namespace

Column::Column(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlowSheet(defaults, id, persistency, parent, root),
      Q1("Q1", "Condenser heat duty", 0.0, "W", nullptr),
      RR("RR", "Molar reflux ratio", Value(2.0), nullptr),
      DF("DF", "Molar distillate to feed ratio", Value(0.5), nullptr),
      QN("QN", "Reboiler heat duty", 0.0, "W", nullptr),
      BR("BR", "Solids-free molar boilup ratio", Value(2.0), nullptr),
      BF("BF", "Molar bottoms to feed ratio", Value(0.5), nullptr),
      BRs("BRs", "Molar boilup ratio with solids", Value(2.0), nullptr),
      P1("P1", "Condenser pressure", 101325.0, "Pa", nullptr),
      consenserDeltaP("consenserDeltaP", "Condenser pressure drop", 0.0, "Pa", nullptr),
      columnDeltaP("columnDeltaP", "Column pressure drop", 0.0, "Pa", nullptr),
      Ve("Ve", "Ratio of Vapor in Enrichment section according to CMO hypothesis to feed",
         Value(0.5), nullptr),
      Le("Le", "Ratio of Liquid in Enrichment section according to CMO hypothesis to feed",
         Value(0.5), nullptr),
      Vs("Vs", "Ratio of Vapor in Stripping section according to CMO hypothesis to feed",
         Value(0.5), nullptr),
      Ls("Ls", "Ratio of Liquid in Stripping section according to CMO hypothesis to feed",
         Value(0.5), nullptr),
      alfa("alfa", "vapor fraction in feed", Value(0.5), nullptr),
      beta("beta", "solids1 fraction in feed", Value(0.5), nullptr),
      gamma("gamma", "condensate split fraction", Value(0.5), nullptr),
      delta("delta", "reboiler vapor fraction", Value(0.5), nullptr),
      condenserOption("condenserOption", "Column condenser calculation option", "RR", nullptr),
      reboilerOption("reboilerOption", "Column reboiler calculation option", "BR", nullptr),
      typeU("typeU", "the type of the vapor and condensate stream", "", nullptr),
      typeW("typeW", "the type of the condensate stream", "", nullptr),
      stages("stages", "total number of stages", 0, nullptr),
      feedStage("feedStage", "position of the feed stage", 0, nullptr),
      nRatings("nRatings", "Number of RatingHeat subobjects", 0, nullptr) {
  static const char *const name = "Column::Column";
  VELTA_TRACE_BEGIN
  setType(typeName);
  std::ostringstream printed;
  defaults.print(printed);
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id << " and options = " << printed.str());
  maxNIn = 1;
  maxNOut = 3;
  inletRequired(0);
  stages = retrieveInteger(defaults, id, persistency, "stages", 1, INT_MAX, -1);
  feedStage = retrieveInteger(defaults, id, persistency, "feedStage", 0, stages.value(), -1);
  stages_ = stages.value();
  feedStage_ = feedStage.value();
  strippingStages_ = stages_ - feedStage_;
  nRatings = retrieveInteger(defaults, id, persistency, "nRatings", -1, INT_MAX, 0);
  typeU = retrieveString(defaults, id, persistency, "typeU", "StreamIdealLiquidVapor");
  typeW = retrieveString(defaults, id, persistency, "typeW", "StreamLiquid");
  const std::string flashType =
      "FlashDegasser<" + (defaults.hasString("typeU") ? defaults.getString("typeU") : "") + ">";

  for (Quantity *q : {&Q1, &RR, &DF, &QN, &BR, &BF, &BRs, &P1, &consenserDeltaP, &columnDeltaP, &Ve,
                      &Le, &Vs, &Ls, &alfa, &beta, &gamma, &delta})
    addVariable(*q);
  const auto profile = static_cast<unsigned>(stages_ + 2);
  addVector(T, "T", "Temperature profile", profile, Value(298.15, "K"));
  addVector(V, "V", "Vapor flow profile", profile, Value(0.0, "kmol/s"));
  addVector(L, "L", "Liquid flow profile", profile, Value(0.0, "kmol/s"));
  for (String *s : {&condenserOption, &reboilerOption, &typeU, &typeW})
    addVariable(*s);
  for (Integer *i : {&stages, &feedStage, &nRatings})
    addVariable(*i);
  const auto n = static_cast<unsigned>(nRatings.value());
  addVector(embeddedTypeRatings, "embeddedTypeRatings", "type of the embedded rating", n, " ");
  addVector(ratingTarget, "ratingTarget", "Target of each RatingColumn subobject", n, "");

  if (persistency != nullptr) {
    retrieveIntegersAndStrings(persistency);
  } else {
    for (unsigned i = 0; i < n; ++i) {
      const std::string key = indexed("ratingTarget", static_cast<int>(i));
      ratingTarget[i] = defaults.hasString(key) ? defaults.getString(key) : "";
    }
    VELTA_LOG(verbosity(), 1, name, "Define unit operations");
    addUnit("ColumnSection",
            sectionOptions(defaults, "ENRICH", "Enrichment section", feedStage_, flashType));
    addUnit("ColumnSection",
            sectionOptions(defaults, "STRIP", "Stripping section", strippingStages_, flashType));
    addUnit(flashType, defaults.relay("FFLASH", "Feed Flash"));
    addUnit(flashType, defaults.relay("REB", "Reboiler"));
    addUnit(flashType, defaults.relay("COND", "Partial Condenser"));
    Defaults split = defaults.relay("SPLIT", "Condensate split");
    split.setInteger("nStreams", 2);
    addUnit("Divider", split);
    addUnit("Mixer", defaults.relay("M1", "Vapor feed Mixer"));
    addUnit("Mixer", defaults.relay("M2", "Liquid feed Mixer"));

    VELTA_LOG(verbosity(), 1, name, "Define stream objects and connect");
    const std::string liquid = typeW.value();
    const struct {
      const char *tag, *description;
      std::string type;
      const char *from, *fromPort, *to, *toPort;
    } streams[] = {
        {"FV", "Vapor Feed", "StreamVapor", "FFLASH", "out1", "M1", "in2"},
        {"FL", "Liquid Feed", liquid, "FFLASH", "out2", "M2", "in1"},
        {"DL", "Liquid Condensate", liquid, "COND", "out2", "SPLIT", "in"},
        {"EV", "Vapor from Enrichment Section", "StreamVapor", "ENRICH", "out1", "COND", "in1"},
        {"EL", "Liquid from Enrichment Section", liquid, "ENRICH", "out2", "M2", "in2"},
        {"EF", "Vapor Feed to Enrichment Section", "StreamVapor", "M1", "out", "ENRICH", "in1"},
        {"R", "Reflux Liquid Feed to Enrichment Section", liquid, "SPLIT", "out1", "ENRICH", "in2"},
        {"SV", "Vapor from Stripping Section", "StreamVapor", "STRIP", "out1", "M1", "in1"},
        {"SL", "Liquid from Stripping Section", liquid, "STRIP", "out2", "REB", "in1"},
        {"SF", "Liquid Feed to Stripping Section", liquid, "M2", "out", "STRIP", "in2"},
        {"BV", "Boilup Vapor Feed to Stripping Section", "StreamVapor", "REB", "out1", "STRIP",
         "in1"},
    };
    for (const auto &s : streams)
      addStream(s.type, defaults.relay(s.tag, s.description), s.from, s.fromPort, s.to, s.toPort);
    VELTA_LOG(verbosity(), 2, name, "Setting input streams");
    addStream(typeU.value(), defaults.relay("F", "Feed"), "source", "out", "FFLASH", "in");
    VELTA_LOG(verbosity(), 2, name, "Setting output streams");
    addStream("StreamVapor", defaults.relay("DV", "Vapor Distillate"), "COND", "out1", "sink",
              "in");
    addStream(liquid, defaults.relay("D", "Liquid Distillate Product"), "SPLIT", "out2", "sink",
              "in");
    addStream(liquid, defaults.relay("B", "Bottom Product"), "REB", "out2", "sink", "in");
    maxNIn = 1;
    maxNOut = 3;
  }
  registerSynonym("feed", "in1");
  registerSynonym("vdistillate", "out1");
  registerSynonym("ldistillate", "out2");
  registerSynonym("bottom", "out3");

  VELTA_LOG(verbosity(), 2, name,
            "Now allocating " << nRatings.value() << " RatingColumn subobject");
  addSubObjects<RatingColumn>(0, defaults, persistency, nRatings.value(), "embeddedTypeRatings",
                              "RatingColumn", "ratings", "embedded RatingColumn", ratings);
  for (std::size_t i = 0; i < ratings.size(); ++i)
    ratings[i]->target_ = my_cast<ColumnSection *>(&at(ratingTarget[i].value()), name);
  if (persistency == nullptr) {
    bindChildren_(name);
    // A per-pass change of 1e-6 is met while a composition front still
    // creeps; the passes go on until the profile has stopped changing.
    seqTol = Value(1e-8);
  }
  // The composition front of a sharp split can creep for dozens of passes,
  // its error steady, before it settles.
  accelerateSubstitution();
  setStallingPasses(sequential() / 2);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

Column::~Column() {
  VELTA_LOG(verbosity(), 1, "Column::~Column", "Entered with " << id());
  VELTA_LOG(verbosity(), 2, "Column::~Column", "Done");
}

int Column::locationFromPort(std::string port) {
  if (port == "out1" || port == "out2")
    return 0;
  if (port == "out3")
    return 1;
  return 3;
}
