#pragma once
// The kernel's own component set: empties the process-wide component list
// and fills it, in index order, with H2O, H2, Chemical1, Chemical2,
// Chemical3, Chemical4, Inert, Metal1, Metal2, Salt1 and Salt2.
void addKernelComponents();
