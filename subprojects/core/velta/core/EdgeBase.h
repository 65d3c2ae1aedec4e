#pragma once
// The base of every flowsheet edge (every material stream). It stores, as
// persistent strings, the tags of the vertices and the names of the ports the
// edge joins, and the two ends of a torn (cut) stream, so that a flowsheet
// read back from the database can connect its streams again; and it tells
// the flowsheet drawing how to stroke the edge.

#include "velta/core/Calculatable.h"
#include "velta/core/Model.h"
#include "velta/core/Precedence.h"
#include "velta/persistency/String.h"

#include <string>

class EdgeBase : public virtual Model, public Precedence, public Calculatable {
public:
  // The arguments of the model base, which the most derived class builds.
  // With a persistency connection the stored values of the strings replace
  // their defaults.
  EdgeBase(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  EdgeBase(const EdgeBase &) = delete;
  ~EdgeBase() override;

  // Stroke colour and width of the edge in the flowsheet drawing.
  virtual std::string lineColor() const;
  virtual double lineWidth() const;

  // Folds the long derivative lists of every quantity of the edge and of
  // the objects below it (its phases) into intermediates of the current
  // derivative context, when that context folds (DerivativeContext).
  void foldDerivatives();

  // Model category of every edge: 2 (stream).
  int category() const override { return 2; }

  // Tags of the vertex the edge leaves ("source" is a flowsheet's terminal
  // source) and of the vertex it enters ("sink").
  String fromTAG;
  String toTAG;
  // Port names at those vertices.
  String fromPort;
  String toPort;
  // Empty for an ordinary stream; on the two streams that replace a torn
  // stream, the tags of the torn stream's two vertices. Balance gathering
  // skips an outlet whose cutsource and an inlet whose cutdest is set.
  String cutsource;
  String cutdest;
};
