#include "core/SecantRoot.h"

#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"

SecantResult SecantRoot(double x0, double x1, double eps)
{
    SecantResult result{};
    result.root = secant_detail::Iterate(x0, x1, eps, TargetFunction, result.updates, result.fRoot);
    return result;
}

void secant_detail::RaiseNoConvergence(double x0, double x1, int updates)
{
    throw Exception("Метод секущих не сошёлся за " + IntToStr(updates) + " итераций на отрезке [" + NumberText(x0) +
                    "; " + NumberText(x1) + "]. Ослабьте точность (возьмите EPS больше) или измените шаг h.");
}
