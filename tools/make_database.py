#!/usr/bin/env python3
"""Builds the default thermodynamic database data/Ploxen.tdb, its reference file
data/Ploxen.ref and the application settings file data/Ploxen.sys from the source
files in data/sources/ (NASA Glenn coefficients, critical-constant tables).

Run by developers after changing a source or a rule (python3 tools/make_database.py);
the build only copies the generated files. Standard library only.

Every NASA product species becomes one dataset per temperature range. The NASA
nine-term heat capacity cannot always be written in the six-term form of the
database (Cp = a + b t + c/t^2 + d t^2 + e/t^3 + f t^3, t = T/1000), so each range
is refitted by least squares against Cp, H and G together and split where the fit
misses the tolerances below. See data/sources/README.md for the naming rules.
"""

import argparse
import math
import os
import re
import sys
import xml.etree.ElementTree as ET

R_NASA = 8.314510  # J/(mol K), the value the NASA coefficients were fitted with
T_STD = 298.15     # K

# Fit tolerances (worst deviation over a dense grid of the dataset's range).
TOL_CP_REL = 0.002   # |dCp| / Cp
TOL_H = 2.0          # |dH| J/mol
TOL_G = 2.0          # |dG| J/mol
MIN_SPLIT_WIDTH = 2.0  # K; narrower ranges are kept with their best fit

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

ELEMENT_NAMES = {
    'E': 'electron', 'Ag': 'silver', 'Al': 'aluminium', 'Ar': 'argon', 'B': 'boron',
    'Ba': 'barium', 'Be': 'beryllium', 'Br': 'bromine', 'C': 'carbon', 'Ca': 'calcium',
    'Cd': 'cadmium', 'Cl': 'chlorine', 'Co': 'cobalt', 'Cr': 'chromium', 'Cs': 'caesium',
    'Cu': 'copper', 'D': 'deuterium', 'F': 'fluorine', 'Fe': 'iron', 'Ga': 'gallium',
    'Ge': 'germanium', 'H': 'hydrogen', 'He': 'helium', 'Hg': 'mercury', 'I': 'iodine',
    'In': 'indium', 'K': 'potassium', 'Kr': 'krypton', 'Li': 'lithium', 'Mg': 'magnesium',
    'Mn': 'manganese', 'Mo': 'molybdenum', 'N': 'nitrogen', 'Na': 'sodium', 'Nb': 'niobium',
    'Ne': 'neon', 'Ni': 'nickel', 'O': 'oxygen', 'P': 'phosphorus', 'Pb': 'lead',
    'Rb': 'rubidium', 'Rn': 'radon', 'S': 'sulphur', 'Sc': 'scandium', 'Si': 'silicon',
    'Sn': 'tin', 'Sr': 'strontium', 'Ta': 'tantalum', 'Th': 'thorium', 'Ti': 'titanium',
    'U': 'uranium', 'V': 'vanadium', 'W': 'tungsten', 'Xe': 'xenon', 'Zn': 'zinc',
    'Zr': 'zirconium',
}

# Common names of frequent species that no critical-constant table names.
COMMON_NAMES = {
    'H': 'hydrogen atom', 'O': 'oxygen atom', 'N': 'nitrogen atom', 'OH': 'hydroxyl radical',
    'HO2': 'hydroperoxyl radical', 'CH3': 'methyl radical', 'CN': 'cyano radical',
    'NH2': 'amino radical', 'NH': 'imidogen', 'CH': 'methylidyne', 'CH2': 'methylene',
    'HCO': 'formyl radical', 'SO': 'sulphur monoxide', 'S2': 'disulphur', 'C2': 'dicarbon',
    'C3': 'tricarbon', 'HNC': 'hydrogen isocyanide', 'e-': 'electron',
    'C2H2,vinylidene': 'vinylidene', 'FeO': 'iron(II) oxide',
    'H2O': 'water', 'HCL': 'hydrogen chloride', 'HF': 'hydrogen fluoride', 'HBr': 'hydrogen bromide',
    'HI': 'hydrogen iodide', 'AL2O3': 'aluminium oxide', 'SiO2': 'silicon dioxide',
    'CaO': 'calcium oxide', 'MgO': 'magnesium oxide', 'NaCL': 'sodium chloride',
    'KCL': 'potassium chloride', 'CaCO3': 'calcium carbonate', 'Na2CO3': 'sodium carbonate',
    'Fe2O3': 'iron(III) oxide, hematite', 'Fe3O4': 'iron(II,III) oxide, magnetite',
    'CaSO4': 'calcium sulphate', 'Na2SO4': 'sodium sulphate', 'K2SO4': 'potassium sulphate',
    'FeS': 'iron(II) sulphide', 'FeS2': 'pyrite', 'TiO2': 'titanium dioxide, rutile',
    'Cu2O': 'copper(I) oxide', 'CuO': 'copper(II) oxide', 'ZnO': 'zinc oxide',
    'NaOH': 'sodium hydroxide', 'KOH': 'potassium hydroxide', 'Ca(OH)2': 'calcium hydroxide',
    'MgCO3': 'magnesium carbonate', 'K2CO3': 'potassium carbonate', 'H2SO4': 'sulphuric acid',
}

# Where several NASA gas species share a formula prefix ("C3H6,propylene",
# "C3H6,cyclo-"), the common molecule gets the bare formula as its name.
PRIMARY_ISOMER = {
    'C2H2,acetylene': 'C2H2', 'C3H6,propylene': 'C3H6', 'C3H6O,acetone': 'C3H6O',
    'C4H6,butadiene': 'C4H6', 'C4H10,n-butane': 'C4H10', 'C5H12,n-pentane': 'C5H12',
    'C7H16,n-heptane': 'C7H16', 'C8H18,n-octane': 'C8H18',
}

# Condensed species whose name is not its formula.
CONDENSED_BASE = {'Fe.947O': 'FeO'}

PHASE_WORDS = {
    'cr': 'crystal', 'a': 'alpha', 'b': 'beta', 'c': 'gamma', 'd': 'delta', 'L': 'liquid',
    'gr': 'graphite', 'a-qz': 'alpha quartz', 'b-qz': 'beta quartz', 'b-crt': 'beta cristobalite',
}


def fnum(text):
    text = text.strip().replace('D', 'E').replace('d', 'e')
    return float(text) if text else 0.0


def norm_symbol(sym):
    return sym[0].upper() + sym[1:].lower()


def parse_thermo_inp(path):
    """Product species of a NASA Glenn thermo.inp file as dicts."""
    with open(path, encoding='ascii') as f:
        lines = f.read().replace('\r', '').split('\n')
    i = 0
    while lines[i].strip() != 'thermo':
        i += 1
    i += 2
    species = []
    while i < len(lines):
        line = lines[i]
        if line.startswith('END PRODUCTS'):
            break
        if line.startswith('!') or not line.strip():
            i += 1
            continue
        l2 = lines[i + 1]
        sp = {
            'name': line[:18].strip(), 'refs': line[18:].strip(),
            'intervals': int(l2[0:2]), 'code': l2[3:9].strip(),
            'phase': int(l2[50:52]), 'mw': fnum(l2[52:65]), 'hf': fnum(l2[65:80]),
            'formula': [], 'ranges': [],
        }
        for k in range(5):
            sym = l2[10 + 8 * k:12 + 8 * k].strip()
            cnt = fnum(l2[12 + 8 * k:18 + 8 * k])
            if sym and cnt != 0:
                sp['formula'].append((norm_symbol(sym), cnt))
        j = i + 2
        for _ in range(sp['intervals']):
            a, b, c = lines[j], lines[j + 1], lines[j + 2]
            coef = [fnum(b[16 * m:16 * m + 16]) for m in range(5)]
            coef += [fnum(c[0:16]), fnum(c[16:32]), fnum(c[48:64]), fnum(c[64:80])]
            sp['ranges'].append([fnum(a[0:11]), fnum(a[11:22]), coef])
            j += 3
        species.append(sp)
        i = j
    return species


# ---------------------------------------------------------------- NASA functions

def nasa_cp(c, T):
    return R_NASA * (c[0] / T**2 + c[1] / T + c[2] + c[3] * T + c[4] * T**2
                     + c[5] * T**3 + c[6] * T**4)


def nasa_h(c, T):
    return R_NASA * T * (-c[0] / T**2 + c[1] * math.log(T) / T + c[2] + c[3] * T / 2
                         + c[4] * T**2 / 3 + c[5] * T**3 / 4 + c[6] * T**4 / 5 + c[7] / T)


def nasa_s(c, T):
    return R_NASA * (-c[0] / T**2 / 2 - c[1] / T + c[2] * math.log(T) + c[3] * T
                     + c[4] * T**2 / 2 + c[5] * T**3 / 3 + c[6] * T**4 / 4 + c[8])


# ------------------------------------------------------- six-term heat capacity

def cp_basis(t):
    return [1.0, t, t**-2, t**2, t**-3, t**3]


def h_basis(t, t0):
    """Integral of the Cp basis over T from T0 to T (J/mol per coefficient)."""
    return [1000 * (t - t0), 1000 * (t * t - t0 * t0) / 2, -1000 * (1 / t - 1 / t0),
            1000 * (t**3 - t0**3) / 3, -1000 * (t**-2 - t0**-2) / 2, 1000 * (t**4 - t0**4) / 4]


def s_basis(t, t0):
    """Integral of the Cp basis divided by T from T0 to T."""
    return [math.log(t / t0), t - t0, -(t**-2 - t0**-2) / 2, (t * t - t0 * t0) / 2,
            -(t**-3 - t0**-3) / 3, (t**3 - t0**3) / 3]


def tdb_eval(ds, T):
    """Cp, H, S of a dataset as the program computes them (heat-capacity form)."""
    a, b, c, d, e, f = ds['coef']
    T0, H0, S0 = ds['T0'], ds['H0'], ds['S0']
    b1, c1, d1, e1, f1 = b / 1000, c * 1e6, d * 1e-6, e * 1e9, f * 1e-9
    cp = a + b1 * T + c1 / T**2 + d1 * T**2 + e1 / T**3 + f1 * T**3
    h = (H0 + a * (T - T0) + b1 * (T * T - T0 * T0) / 2 - c1 * (1 / T - 1 / T0)
         + d1 * (T**3 - T0**3) / 3 - e1 * (1 / T**2 - 1 / T0**2) / 2 + f1 * (T**4 - T0**4) / 4)
    s = (S0 + a * math.log(T / T0) + b1 * (T - T0) - c1 * (1 / T**2 - 1 / T0**2) / 2
         + d1 * (T * T - T0 * T0) / 2 - e1 * (1 / T**3 - 1 / T0**3) / 3 + f1 * (T**3 - T0**3) / 3)
    return cp, h, s


def lstsq(rows, rhs):
    """Least-squares solution by Householder QR with column scaling."""
    n = len(rows[0])
    scale = [max(abs(r[j]) for r in rows) or 1.0 for j in range(n)]
    A = [[r[j] / scale[j] for j in range(n)] for r in rows]
    y = list(rhs)
    m = len(A)
    for k in range(n):
        norm = math.sqrt(sum(A[i][k] ** 2 for i in range(k, m)))
        if norm == 0:
            continue
        alpha = -norm if A[k][k] > 0 else norm
        v = [0.0] * m
        v[k] = A[k][k] - alpha
        for i in range(k + 1, m):
            v[i] = A[i][k]
        vv = sum(x * x for x in v[k:])
        if vv == 0:
            continue
        for j in range(k, n):
            s = sum(v[i] * A[i][j] for i in range(k, m)) * 2 / vv
            for i in range(k, m):
                A[i][j] -= s * v[i]
        s = sum(v[i] * y[i] for i in range(k, m)) * 2 / vv
        for i in range(k, m):
            y[i] -= s * v[i]
    x = [0.0] * n
    for k in range(n - 1, -1, -1):
        s = y[k] - sum(A[k][j] * x[j] for j in range(k + 1, n))
        x[k] = s / A[k][k] if A[k][k] != 0 else 0.0
    return [x[j] / scale[j] for j in range(n)]


def grid(lo, hi, count):
    """Chebyshev-spaced temperatures including both ends."""
    return [lo + (hi - lo) * (1 - math.cos(math.pi * k / (count - 1))) / 2 for k in range(count)]


def fmt(x, digits=12):
    text = '%.*g' % (digits, x)
    return '0' if text in ('-0', '0') else text


def make_dataset(c, lo, hi, T0, H0):
    """Fits one sub-range; returns the dataset and its worst deviations."""
    S0 = nasa_s(c, T0)
    t0 = T0 / 1000
    pts = grid(lo, hi, 41)
    weights = [1.0] * (3 * len(pts))
    best = None
    for _ in range(12):  # Lawson iterations towards the minimax fit
        rows, rhs = [], []
        for k, T in enumerate(pts):
            t = T / 1000
            cp_ref = nasa_cp(c, T)
            h_ref = nasa_h(c, T) - H0
            s_ref = nasa_s(c, T) - S0
            hb, sb = h_basis(t, t0), s_basis(t, t0)
            w = weights[3 * k:3 * k + 3]
            wc = w[0] / (TOL_CP_REL * max(abs(cp_ref), 1.0))
            rows.append([wc * x for x in cp_basis(t)]); rhs.append(wc * cp_ref)
            rows.append([w[1] / TOL_H * x for x in hb]); rhs.append(w[1] / TOL_H * h_ref)
            gb = [hb[j] - T * sb[j] for j in range(6)]
            rows.append([w[2] / TOL_G * x for x in gb]); rhs.append(w[2] / TOL_G * (h_ref - T * s_ref))
        coef = lstsq(rows, rhs)
        ds = {'Tmin': lo, 'Tmax': hi, 'T0': T0, 'H0': float(fmt(H0, 12)),
              'S0': float(fmt(S0, 12)), 'coef': [float(fmt(x)) for x in coef]}
        dev = deviations(ds, c)
        if best is None or dev['score'] < best[1]['score']:
            best = (ds, dev)
        if dev['score'] <= 1.0:
            break
        # Lawson: raise the weight where the residual is large
        res = []
        for T in pts:
            cp, h, s = tdb_eval(ds, T)
            cp_ref = nasa_cp(c, T)
            res += [abs(cp - cp_ref) / (TOL_CP_REL * max(abs(cp_ref), 1.0)),
                    abs(h - nasa_h(c, T)) / TOL_H,
                    abs((h - T * s) - (nasa_h(c, T) - T * nasa_s(c, T))) / TOL_G]
        top = max(res) or 1.0
        weights = [w * (0.2 + r / top) for w, r in zip(weights, res)]
        total = sum(weights) / len(weights)
        weights = [w / total for w in weights]
    return best


def deviations(ds, c):
    worst = {'cp': 0.0, 'h': 0.0, 's': 0.0, 'g': 0.0}
    for T in grid(ds['Tmin'], ds['Tmax'], 101):
        cp, h, s = tdb_eval(ds, T)
        cp_ref, h_ref, s_ref = nasa_cp(c, T), nasa_h(c, T), nasa_s(c, T)
        worst['cp'] = max(worst['cp'], abs(cp - cp_ref) / max(abs(cp_ref), 1.0))
        worst['h'] = max(worst['h'], abs(h - h_ref))
        worst['s'] = max(worst['s'], abs(s - s_ref))
        worst['g'] = max(worst['g'], abs((h - T * s) - (h_ref - T * s_ref)))
    worst['score'] = max(worst['cp'] / TOL_CP_REL, worst['h'] / TOL_H, worst['g'] / TOL_G)
    return worst


def nice_split(lo, hi):
    mid = math.sqrt(lo * hi)
    for step in (500, 100, 50, 10, 5, 1):
        if hi - lo > 4 * step:
            m = round(mid / step) * step
            if lo < m < hi:
                return float(m)
    return (lo + hi) / 2


def fit_range(c, lo, hi, T0, H0, out):
    ds, dev = make_dataset(c, lo, hi, T0, H0)
    if dev['score'] <= 1.0 or hi - lo < 2 * MIN_SPLIT_WIDTH:
        ds['dev'] = dev
        out.append(ds)
        return
    mid = nice_split(lo, hi)
    fit_range(c, lo, mid, T0 if lo <= T0 <= mid else lo,
              H0 if lo <= T0 <= mid else nasa_h(c, lo), out)
    fit_range(c, mid, hi, mid, nasa_h(c, mid), out)


def species_datasets(sp):
    """All datasets of one NASA species."""
    out = []
    ranges = [r for r in sp['ranges']]
    for idx, (lo, hi, c) in enumerate(ranges):
        if lo == hi:
            continue  # empty range
        if lo > hi:
            # the 2021 update raised lower limits to 300 K even where the range ends
            # below; such a range keeps the file's former lower limit of 200 K
            lo = 200.0
            if lo >= hi:
                continue
        first = idx == 0 or all(r[0] == r[1] for r in ranges[:idx])
        if first and 298.15 <= lo <= 300.0:
            lo = T_STD  # a first range starting at 300 K is used down to 298.15 K
        if lo <= T_STD <= hi:
            T0, H0 = T_STD, sp['hf']
        else:
            T0, H0 = lo, nasa_h(c, lo)
        fit_range(c, lo, hi, T0, H0, out)
    return out


# ------------------------------------------------------------------- names

def fix_case(formula_text):
    """NASA writes aluminium and chlorine in capitals inside names (ALCL3)."""
    return formula_text.replace('AL', 'Al').replace('CL', 'Cl')


def split_condensed(name):
    m = re.match(r'^(.*)\(([^()]*)\)$', name)
    return (m.group(1), m.group(2)) if m else (name, '')


def mol_definition(sp, base):
    # The record's formula field decides the counts (wuestite: FE 0.95, which its molecular
    # weight 69.052 confirms), never the digits of its name.
    parts = []
    for sym, cnt in sp['formula']:
        parts.append(sym + ('%d' % cnt if cnt == int(cnt) else fmt(cnt, 6)))
    return ''.join(parts)


def assign_names(species):
    gas_prefix_count = {}
    for sp in species:
        if sp['phase'] == 0 and ',' in sp['name']:
            p = sp['name'].split(',')[0]
            gas_prefix_count[p] = gas_prefix_count.get(p, 0) + 1
    gas_names = {sp['name'] for sp in species if sp['phase'] == 0}
    for sp in species:
        name = sp['name']
        if sp['phase'] == 0:
            sp['state'] = '(g)'
            sp['form'] = ''
            if name in PRIMARY_ISOMER:
                base = PRIMARY_ISOMER[name]
            elif ',' in name and gas_prefix_count[name.split(',')[0]] == 1 \
                    and name.split(',')[0] not in gas_names:
                base = name.split(',')[0]
            else:
                base = name
            sp['nasa_base'] = name
            # "C3H6,cyclo-": the dash of an isomer word would read as the charge of an anion
            suffix = base.split(',', 1)[1].rstrip('-') if ',' in base else ''
            sp['base'] = fix_case(base.split(',')[0]) + (',' + suffix if suffix else '')
        else:
            base, form = split_condensed(name)
            sp['state'] = '(l)' if form == 'L' else '(s)'
            sp['form'] = form
            sp['nasa_base'] = base
            sp['base'] = CONDENSED_BASE.get(base, fix_case(base))
        sp['mol'] = mol_definition(sp, sp['nasa_base'])


# ------------------------------------------------------- critical constants

def read_tsv(path):
    with open(path, encoding='utf-8') as f:
        head = f.readline().rstrip('\n').split('\t')
        return [dict(zip(head, line.rstrip('\n').split('\t'))) for line in f if line.strip()]


def critical_tables(src):
    """CAS -> {'Tc': (value K, source), 'Pc': (bar, source), 'omega': (value, source), 'name'}."""
    crit = os.path.join(src, 'critical')
    table = {}

    def put(cas, key, value, source, name=None):
        if not value:
            return
        entry = table.setdefault(cas, {})
        if key not in entry:
            entry[key] = (float(value), source)
        if name and 'name' not in entry:
            entry['name'] = name

    sources = [  # priority order, best first
        ('heos_constants.tsv', 'HEOS', 'name'),
        ('IUPACOrganicCriticalProps.tsv', 'IUPAC', 'Chemical'),
        ('Mathews1972InorganicCriticalProps.tsv', 'MATHEWS', 'Chemical'),
        ('Appendix to PSRK Revision 4.tsv', 'PSRK', 'Chemical'),
    ]
    chemsep = []
    root = ET.parse(os.path.join(crit, 'ChemSep8.32.xml')).getroot()
    for comp in root.findall('compound'):
        def val(tag):
            el = comp.find(tag)
            return el.get('value') if el is not None else ''
        chemsep.append({'CAS': val('CAS'), 'Tc': val('CriticalTemperature'),
                        'Pc': val('CriticalPressure'), 'omega': val('AcentricityFactor'),
                        'name': val('CompoundID')})
    for fname, tag, name_col in sources:
        for row in read_tsv(os.path.join(crit, fname)):
            cas = row['CAS']
            put(cas, 'Tc', row.get('Tc'), tag, row.get(name_col))
            if row.get('Pc'):
                put(cas, 'Pc', float(row['Pc']) / 1e5, tag)
            if tag in ('HEOS', 'PSRK'):
                put(cas, 'omega', row.get('omega'), tag)
    for row in chemsep:
        put(row['CAS'], 'Tc', row['Tc'], 'CHEMSEP', row['name'])
        if row['Pc']:
            put(row['CAS'], 'Pc', float(row['Pc']) / 1e5, 'CHEMSEP')
        put(row['CAS'], 'omega', row['omega'], 'CHEMSEP')
    return table


def read_cas_map(src):
    cas = {}
    with open(os.path.join(src, 'nasa_cas.tsv'), encoding='utf-8') as f:
        for line in f:
            if line.startswith('#') or line.startswith('nasa_name'):
                continue
            parts = line.rstrip('\n').split('\t')
            if len(parts) >= 2 and parts[1]:
                cas[parts[0]] = (parts[1], parts[2] if len(parts) > 2 else '')
    return cas


# ------------------------------------------------------------------ output

COLUMNS = ['Nr', 'Name', 'Phase', 'Tmin [K]', 'Tmax [K]', 'T0 [K]', 'H0 [J/mol]', 'S0 [J/(mol K)]',
           'a', 'b', 'c', 'd', 'e', 'f', 'Tc [K]', 'Pc [bar]', 'Omega', 'Mol definition',
           'Description', 'References', 'Created', 'Comments']


def describe(sp, names_by_cas, cas_entry, gas_names=None):
    """Common name of a species; ions and condensed phases borrow the neutral gas's name."""
    base = sp['nasa_base']
    desc = COMMON_NAMES.get(base, '')
    if not desc and cas_entry:
        desc = cas_entry[1] or names_by_cas.get(cas_entry[0], '')
    if not desc:
        desc = COMMON_NAMES.get(sp['base'], '')
    if not desc and ',' in base:
        desc = base.split(',', 1)[1]
    formula = base.split(',')[0]
    core = re.sub(r'[+-]+$', '', formula)
    if not desc and core in ELEMENT_NAMES:
        desc = ELEMENT_NAMES[core]
    if not desc and gas_names:
        desc = gas_names.get(fix_case(core), '')
    if desc and formula != core and base != 'e-':
        desc += ', cation' if formula.endswith('+') else ', anion'
    if sp['base'] == 'FeO' and sp['state'] != '(g)':
        desc = 'wuestite Fe0.947O'
    if sp['form'] and sp['form'] != 'L':
        word = PHASE_WORDS.get(sp['form'], sp['form'])
        desc = (desc + ', ' if desc else '') + word
    return desc


def build(src):
    species = parse_thermo_inp(os.path.join(src, 'nasa', 'thermo.inp'))
    species = [sp for sp in species if not sp['name'].startswith('Inert')]
    assign_names(species)
    crit = critical_tables(src)
    cas_map = read_cas_map(src)
    names_by_cas = {cas: e.get('name', '') for cas, e in crit.items()}
    gas_cas = {}
    for sp in species:
        if sp['phase'] == 0 and sp['name'] in cas_map:
            gas_cas[sp['mol']] = cas_map[sp['name']]
    # names of the neutral gases, borrowed by their ions and condensed phases
    gas_names = {}
    for sp in species:
        if sp['phase'] == 0 and not sp['base'].endswith(('+', '-')):
            desc = describe(sp, names_by_cas, cas_map.get(sp['name']))
            if desc:
                gas_names.setdefault(sp['base'], desc)
    records = []
    for sp in species:
        # a condensed phase shares the CAS number of the gas of the same formula;
        # solids get no critical data (a solid above Tc would count as impossible)
        cas_entry = cas_map.get(sp['name'])
        if cas_entry is None and sp['phase'] != 0:
            cas_entry = gas_cas.get(sp['mol'])
        crit_entry = crit.get(cas_entry[0], {}) if cas_entry else {}
        if sp['state'] == '(s)':
            crit_entry = {}
        if 'Tc' not in crit_entry or 'Pc' not in crit_entry:
            crit_entry = {}
        desc = describe(sp, names_by_cas, cas_entry, gas_names)
        for k, ds in enumerate(species_datasets(sp)):
            records.append((sp, ds, crit_entry, desc, k))
    return species, records


def write_tdb(path, records, created):
    lines = ['\t'.join(COLUMNS)]
    for n, (sp, ds, ce, desc, k) in enumerate(records, start=1):
        refs = '[1]' + ('[2]' if ce else '')
        crit_note = ''
        if ce:
            if ce['Tc'][1] == ce['Pc'][1]:
                crit_note = '; Tc,Pc %s' % ce['Tc'][1]
            else:
                crit_note = '; Tc %s, Pc %s' % (ce['Tc'][1], ce['Pc'][1])
            if 'omega' in ce:
                crit_note += ', omega %s' % ce['omega'][1]
        comment = 'NASA %s %s%s; fit dCp %.3f%%, dH %.2f J/mol, dG %.2f J/mol' % (
            sp['name'], sp['code'], crit_note, 100 * ds['dev']['cp'], ds['dev']['h'], ds['dev']['g'])
        fields = [str(n), sp['base'], sp['state'], fmt(ds['Tmin'], 8), fmt(ds['Tmax'], 8),
                  fmt(ds['T0'], 8), fmt(ds['H0'], 12), fmt(ds['S0'], 12)]
        fields += [fmt(x) for x in ds['coef']]
        fields += [fmt(ce['Tc'][0], 8) if ce else '', fmt(ce['Pc'][0], 8) if ce else '',
                   fmt(ce['omega'][0], 6) if ce and 'omega' in ce else '',
                   sp['mol'], desc, refs, created, comment]
        lines.append('\t'.join(fields))
    write_text(path, lines)


def write_text(path, lines):
    tmp = path + '.tmp'
    with open(tmp, 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n'.join(lines) + '\n')
    os.replace(tmp, path)


def write_ref(path):
    write_text(path, [
        '[Reference]',
        '  1: B. J. McBride, M. J. Zehe, S. Gordon, NASA Glenn Coefficients for Calculating '
        'Thermodynamic Properties of Individual Species, NASA/TP-2002-211556 (2002), '
        'thermo.inp of NASA CEA (update 2021); refitted to the six-term heat capacity form',
        '  2: critical constants: reference equations of state (Huber et al., Ind. Eng. Chem. '
        'Res. 61 (2022) 15449), IUPAC critical properties series (J. Chem. Eng. Data 1995-2015), '
        'Mathews, Chem. Rev. 72 (1972) 71, PSRK Horstmann et al., Fluid Phase Equilib. 227 (2005) '
        '157, ChemSep 8.3 (Kooijman and Taylor 2021); the source of each value is in the '
        'comments of the dataset',
        '[Elements]',
        '  # user elements, one per line: Xy = Name; n: 120; m: 300.5',
        '[Constants]',
        '  R=8.31451',
    ])


def write_sys(path):
    write_text(path, [
        '[General]',
        '  Database=../data/Ploxen.tdb',
        '  ActDataBase=',
        '  PrjDir=',
        '  HelpIndex=',
        '  HTHelpIndex=',
    ])


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--sources', default=os.path.join(ROOT, 'data', 'sources'))
    ap.add_argument('--out', default=os.path.join(ROOT, 'data'))
    ap.add_argument('--created', default='2026-12-08', help='text of the creation field')
    args = ap.parse_args()
    species, records = build(args.sources)
    write_tdb(os.path.join(args.out, 'Ploxen.tdb'), records, args.created)
    write_ref(os.path.join(args.out, 'Ploxen.ref'))
    write_sys(os.path.join(args.out, 'Ploxen.sys'))
    report(species, records)


def report(species, records):
    worst = {'cp': (0, ''), 'h': (0, ''), 's': (0, ''), 'g': (0, '')}
    over = 0
    for sp, ds, ce, desc, k in records:
        for key in worst:
            if ds['dev'][key] > worst[key][0]:
                worst[key] = (ds['dev'][key], '%s %s %g-%g' % (sp['name'], sp['state'], ds['Tmin'], ds['Tmax']))
        if ds['dev']['score'] > 1.0:
            over += 1
            print('over tolerance: %s %g-%g cp %.4f%% h %.3f g %.3f' % (
                sp['name'], ds['Tmin'], ds['Tmax'], 100 * ds['dev']['cp'], ds['dev']['h'], ds['dev']['g']))
    names = {(sp['base'], sp['state']) for sp, *_ in records}
    with_crit = {(sp['base'], sp['state']) for sp, ds, ce, *_ in records if ce}
    print('species %d, names %d, datasets %d, with critical data %d, over tolerance %d' % (
        len(species), len(names), len(records), len(with_crit), over))
    for key, (v, where) in worst.items():
        print('worst d%s %.5g at %s' % (key, v, where))


if __name__ == '__main__':
    sys.exit(main())
