#pragma once
// The base of every flowsheet vertex (unit operations and nested
// flowsheets). It gives a vertex what does not depend on what the unit
// computes: the table of the edges connected at its named ports, searchable
// both ways; port synonyms; the balance quantities and the balance check
// that compares them with the unit's own source terms after each
// calculation; the sides of the icon on which ports are drawn, and the icon
// drawing.
//
// A subclass provides go, check and calculateBalance (which first calls
// resetBalances, then fills mdotin and mdotout with the mass flows of its
// inlet and outlet streams, cmdot = mdotin - mdotout, mdotcomps with each
// component's mass flow in minus out and cduty with the enthalpy flow in
// minus out, leaving out the ends of torn streams). It registers its
// synonyms in its constructor and overrides massBalance or energyBalance
// when mass is created or destroyed or work or heat crosses its boundary.
//
// Log lines are written when verbosityGlobal + verbosity() - 1 > level.

#include "velta/core/Calculatable.h"
#include "velta/core/Model.h"
#include "velta/core/PortTable.h"
#include "velta/core/Task.h"
#include "velta/persistency/Quantity.h"

#include <string>
#include <vector>

class EdgeBase;

class VertexBase : public virtual Model, public Task, public Calculatable {
public:
  // The arguments of the model base, which the most derived class builds.
  // An empty component list throws ErrorRunTime "no components defined".
  VertexBase(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  VertexBase(const VertexBase &) = delete;
  ~VertexBase() override;

  // Connects the edge (only its tag is used) at the port. An edge that is
  // already connected throws ErrorConnectivity "Duplicate connected edge"; a
  // port taken by another edge leaves the table unchanged without an error.
  virtual void attach(EdgeBase *edge, const std::string &port);
  // Removes the connection at the port; ErrorConnectivity "Port not
  // connected" for a free port.
  virtual void detach(std::string port);
  // The subclass's connectivity check.
  virtual void check() = 0;
  // Calls calculateBalance and files "mass flow unbalance" or "energy flow
  // unbalance" on the model as an error or a warning by the tolerances of
  // BalanceCheck.h. Errors raised inside get "VertexBase::checkBalance".
  virtual void checkBalance();
  virtual void calculateBalance() = 0;
  // The vertex's own mass source (what it creates or destroys), 0 kg/s by
  // default, and its own energy source (work or heat added), 0 W by default.
  virtual Value massBalance();
  virtual Value energyBalance();
  // Side of the icon where the port is drawn (PortTable side codes): east
  // for ports starting with "out", west otherwise.
  virtual int locationFromPort(std::string port);

  // The edge at the port (ErrorConnectivity "port not connected") and the
  // port of the edge (ErrorConnectivity "edge not connected").
  std::string edgeFromPort(const std::string &port) const;
  std::string portFromEdge(const std::string &edgeTag) const;
  // locationFromPort of the edge's port; ErrorConnectivity "Edge not
  // connected" for an unknown edge.
  int locationFromEdge(std::string edgeTag);

  // A synonym may not start with "in" or "out" (ErrorConnectivity); a later
  // registration of the same synonym replaces the port.
  void registerSynonym(std::string synonym, std::string port);
  // Replaces a registered synonym by its port, in place; other names stay.
  void translate(std::string &name);

  // Value and derivatives of every balance quantity 0, units kept.
  void resetBalances();

  // Every connection (edge tag, port) in edge-tag order.
  std::vector<std::pair<std::string, std::string>> connections() const {
    return ports_.connections();
  }

  // Model category of a unit: 3.
  int category() const override { return 3; }
  // Writes the node's icon (its own record, else its type's) as an SVG
  // document that embeds the icon's artwork; a file that cannot be written
  // is an ErrorRunTime naming it.
  void printSvg(const char *fileName, bool tiny, bool raster, unsigned idOffset) const override;

  // Balance quantities (stored with the unit).
  Quantity cmdot;
  Quantity mdotin;
  Quantity mdotout;
  std::vector<Quantity> mdotcomps;
  Quantity cduty;

private:
  PortTable ports_;
};
