#pragma once
// What the flash splitter and the flash degasser share: a flash drum whose
// outlet is an internal stream of the type named by the option
// "embeddedTypeStream", handed to an internal phase separator (a Splitter
// or a Degasser) that distributes its phases to the unit's real outlets.
// The internal stream and separator stand outside the object tree (no
// parent, id 0, never stored) and are owned by the unit; the separator is
// wired to them at the first calculation or after a restore.
//
// An option set without "embeddedTypeStream" takes the default that the
// type registration lists (the type factory adds no string options).

#include "velta/units/Connectivity.h"
#include "velta/units/FlashDrumBase.h"
#include "velta/units/SimpleUnit.h"

#include <memory>
#include <string>

class FlashDrumSeparator : public FlashDrumBase, public Connectivity {
public:
  ~FlashDrumSeparator() override;

  // --- Model
  void calculate(int level) override { go(1, level); }
  // After a restore: the internal stream is rebuilt from the stored
  // outlets, with the stored alfa as its vapour share.
  void initializeNonPersistents() override;

  // --- VertexBase
  // Without inlets an error and nothing else; inlets without flow give the
  // warning "Empty inlet stream, bypassing block" (from mode 2 on,
  // identity rows in place of the residuals) and the separator still runs. The separator's own errors and warnings are filed on the unit.
  void go(int mode, int level) override;
  Value energyBalance() override { return duty; }

  Stream &internalStream() const { return *stream_; }
  SimpleUnit &separator() const { return *separator_; }

  Quantity Tavg;
  String embeddedTypeStream;

  // What tells the two units apart.
  struct Kind {
    const char *typeName;
    const char *defaultStreamType; // the registration's listed default
    const char *streamTag;         // tag of the internal stream
    const char *separatorType;     // registered type of the separator
    const char *separatorTag;
    int flashLevelOffset;       // added to the level of FlashDrumBase::go
  };

protected:
  // Builds the variables, the internal stream and the separator; errors
  // get kind.typeName + "::" + kind.typeName.
  FlashDrumSeparator(Defaults defaults, int id, Persistency *persistency, const Kind &kind);

  // Attaches the unit's outlets to the separator's port "out"; false (an
  // error filed) when the outlets cannot be wired.
  virtual bool attachOutlets_() = 0;
  // Composes the internal stream back from the outlets.
  virtual void revert_() = 0;

  std::unique_ptr<Stream> stream_;
  std::unique_ptr<SimpleUnit> separator_;

private:
  // Wires the separator once: the internal stream at its inlet, the
  // outlets at its outlets.
  bool connectSeparator_();
  void fileSeparatorMessages_();

  const Kind &kind_;
};
