#pragma once
// Reaction blocks of a unit with N reacting phases (the system uses N = 2):
// they compute, in kmol/s, the generation term of every component in each
// reacting phase; the unit adds phases[k] to its k-th reacting side.
//
// MultiReaction<N>: one reaction spread over the phases, with one row of
// stoichiometric coefficients per phase (coeffv[k][j]); its extent follows
// from the set conversion z of component keycomp in phase keyphase, cut
// back (actz) while a consumed component would run out.
//
// MultiReactionTransfer: theta[j] of the total flow of component j leaves
// in phase 1; one common factor scales all transfer terms down when a side
// would lose more than it holds.
//
// The unit sets outp[k] (molar phases, not owned) before calculate. Every
// problem found is recorded among the block's errors (a cut transfer as a
// warning); nothing is thrown but arithmetic and phase errors.

#include "velta/core/Model.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"
#include "velta/phases/PhaseTotal.h"

#include <memory>
#include <vector>

namespace Phase {
class Mass;
}

template <int N> class MultiReaction : public virtual Model {
public:
  static const char *const typeName;

  MultiReaction(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~MultiReaction() override;

  int category() const override { return 5; }
  void calculate(int mode) override;
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }

  std::vector<Phase::Mass *> outp;
  std::vector<std::unique_ptr<PhaseTotal>> phases;
  Integer nPhases;
  Quantity z;
  Quantity actz;
  Quantity conv;
  std::vector<std::vector<Quantity>> coeffv;
  Integer keyphase;
  Integer keycomp;

protected:
  // Records the first problem that stops a calculation before any term is
  // written: phase count, unset outp entries; true when one was found.
  bool connectionProblem();
  // Flow of component j in the phase behind outp[k].
  const Value &inletFlow(int k, int j) const;
  // Sets the generation terms of phases[k] from its component flows.
  void completePhases();

private:
  // The key component, key phase and key coefficient that the extent
  // divides by; records an error and returns false when one is unusable.
  bool keyIsUsable();
};

extern template class MultiReaction<2>;

class MultiReactionTransfer : public MultiReaction<2> {
public:
  static const char *const typeName;

  MultiReactionTransfer(Defaults defaults, int id, Persistency *persistency, Node *parent,
                        Node *root);
  ~MultiReactionTransfer() override;

  void calculate(int mode) override;
  // factor := min(1, -n / rate) over the consumed terms; scales them all.
  void bound();

  std::vector<Quantity> theta;
  Quantity factor;
};

template <> const char *const MultiReaction<2>::typeName;
