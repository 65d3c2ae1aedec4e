#pragma once
// Base of every pure component: a name, a position in the process-wide
// component list, the constants of ComponentInterface and the eight
// property-route interfaces. All bases are virtual, so a concrete component
// supplies each interface exactly once by deriving from a class that
// implements it (a route class, ComponentBase or a placeholder route).

#include "velta/components/ComponentInterface.h"
#include "velta/components/RouteHeatLiquid.h"
#include "velta/components/RouteHeatSolid.h"
#include "velta/components/RouteHeatVapor.h"
#include "velta/components/RouteSaturation.h"
#include "velta/components/RouteTransport.h"
#include "velta/components/RouteVolumeLiquid.h"
#include "velta/components/RouteVolumeSolid.h"
#include "velta/components/RouteVolumeVapor.h"
#include "velta/utility/Diagnostic.h"

#include <string>

class ComponentGeneric : public virtual Diagnostic,
                         public virtual ComponentInterface,
                         public virtual RouteSaturation,
                         public virtual RouteHeatVapor,
                         public virtual RouteHeatLiquid,
                         public virtual RouteHeatSolid,
                         public virtual RouteTransport,
                         public virtual RouteVolumeVapor,
                         public virtual RouteVolumeLiquid,
                         public virtual RouteVolumeSolid {
public:
  // The name is checked like a tag ('.' and ':' admitted); a name that fails
  // throws ErrorInvalidCharacter with field "NAME".
  explicit ComponentGeneric(const std::string &name);
  ComponentGeneric(const ComponentGeneric &) = delete;
  ComponentGeneric &operator=(const ComponentGeneric &) = delete;

  // Vapour-liquid equilibrium ratio at T (K) and P (Pa), dimensionless:
  // psat(T) / P unless the concrete class says otherwise.
  virtual Value kvli(const Value &T, const Value &P) const;
  // True for a substance that exists only as a solid.
  virtual bool isSolid() const = 0;
  // True when the vapour-liquid ratio follows Henry's law.
  virtual bool isHenry() const { return false; }

  const std::string &name() const { return name_; }
  // Position in the component list, -1 until added.
  int index() const { return index_; }
  // Used by ListComponents::add only.
  void setIndex(int index) { index_ = index; }

private:
  std::string name_;
  int index_;
};
