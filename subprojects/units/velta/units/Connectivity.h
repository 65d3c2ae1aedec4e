#pragma once
// The port-holding base of every unit and of the flowsheet: numbered inlet
// and outlet slots of non-owning edge pointers, filled by attach from the
// port names with which a flowsheet joins a stream to a unit ("in", "out",
// or one of them followed by a 1-based number), the limits on their
// numbers, the required inlets, the connection check and the unit's
// cumulative mass and enthalpy balance over its connected streams.
//
// A unit derives from Connectivity (non-virtually; Connectivity holds
// VertexBase as a virtual base, built by the most derived class with Model),
// sets maxNIn, maxNOut and its required inlets in its own constructor, and
// provides go and the model operations.
//
// Slot numbers in messages are 0-based: port in3 is slot 2.

#include "velta/core/VertexBase.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/String.h"

#include <string>
#include <vector>

class EdgeBase;
class Stream;

class Connectivity : public virtual VertexBase {
public:
  Connectivity(Defaults defaults, int id, Persistency *persistency);
  ~Connectivity() override;

  // --- VertexBase
  // Fills the slot named by the port ("in"/"out" append and are rewritten
  // to their numbered name) and records the connection.
  void attach(EdgeBase *edge, std::string &port);
  void attach(EdgeBase *edge, const std::string &port) override;
  // Empties the slot of an explicit port name; slots are never renumbered.
  void detach(std::string port) override;
  // Throws for limits exceeded and missing required inlets; records errors
  // and warnings for the softer faults. Returns false.
  bool checkConnections();
  void check() override { checkConnections(); }
  void calculateBalance() override;

  // --- slots
  EdgeBase *inlet(unsigned i) const;
  EdgeBase *outlet(unsigned i) const;
  bool inletConnected(unsigned i) const;
  bool outletConnected(unsigned i) const;
  void inletRequired(unsigned i);
  static std::string portInlet(int n);
  static std::string portOutlet(int n);
  // The 0-based slot of the numeric part of an explicit port name.
  static int parse_int(const std::string &text, const std::string &tag);

  // The connected edges of the slots, empty slots left out.
  std::vector<Node *> connectedInlets() const;

  Integer nIn;
  Integer nOut;
  Integer maxNIn;
  Integer maxNOut;
  String constraints;

protected:
  // The stream of a slot, checked (ErrorDynamicCast naming caller).
  Stream *inletStream(unsigned i, const char *caller) const;
  Stream *outletStream(unsigned i, const char *caller) const;

  bool inletsExplicit_ = false;
  bool outletsExplicit_ = false;
  std::vector<EdgeBase *> inlets_;
  std::vector<EdgeBase *> outlets_;

private:
  void attachSide(EdgeBase *edge, std::string &port, bool inletSide);
};

// Leaves a stream that a unit has filled ready for its own flash: PH when
// its total phase carries properties, else PT (a mass-only total phase has
// no enthalpy to specify), estimated from its own P and T. The density of
// each equation-of-state phase is then taken from the phase's density as
// the unit filled it: the units that call this copy a solved state, so the
// outlet's properties are those of that state also where its flash is not
// solved (in the flowsheet's simultaneous solution).
void prepareOutletFlash(Stream &stream);

// The stream's enthalpy flow mdot * h of its total phase, "Tphase.h"; a
// mass-only total phase carries none (0 W).
Value enthalpyFlow(Stream &stream);

namespace Phase {
class Mass;
}

// The values of every quantity of from that to registers under the same
// tag (flows, fractions, properties); to keeps its type, tags and tree.
void assignPhaseValues(Phase::Mass &to, const Phase::Mass &from);

// Clears the phase's flows and completes it in the flows-only mode of its
// own representation (N for molar phases, M for mass-only ones).
void emptyPhase(Phase::Mass &phase);
