#!/usr/bin/python3
# The package manifests scripts/package wrote (QUORSET_DIST), read with Debian's YAML and
# JSON parsers and held against the downloads beside them and against the uninstall
# entry the installer wrote into the registry (saved by test_package in QUORSET_INSTALLED).
import hashlib, json, os, re, sys, zipfile
import yaml

dist, installed = os.environ.get("QUORSET_DIST"), os.environ.get("QUORSET_INSTALLED")
if not dist or not os.path.isdir(os.path.join(dist, "winget")):
    print("SKIPPED: no package manifests (run scripts/package; QUORSET_DIST)")
    sys.exit(77)
failures = []
def expect(what, got, wanted):
    if got != wanted:
        failures.append(f"{what}: {got!r}, expected {wanted!r}")

entry_file = os.path.join(installed or "", "entry.txt")
if not os.path.exists(entry_file):
    sys.exit(f"FAILED: no uninstall entry saved by test_package ({entry_file})")
entry = dict(line.split("=", 1) for line in open(entry_file).read().splitlines())
setup, = [n for n in os.listdir(dist) if n.endswith("-x64-setup.exe")]
zip_name, = [n for n in os.listdir(dist) if n.endswith("-x64.zip")]
version = re.fullmatch(r"Quorset-(.+)-x64-setup\.exe", setup).group(1)
expect("the zip's version", zip_name, f"Quorset-{version}-x64.zip")
expect("the installer's version in the registry", entry["DisplayVersion"], version)
sha256 = {n: hashlib.sha256(open(os.path.join(dist, n), "rb").read()).hexdigest() for n in (setup, zip_name)}
sums = dict(reversed(line.split()) for line in open(os.path.join(dist, "SHA256SUMS")))
expect("SHA256SUMS", sums, sha256)

# winget: the multi-file form, one version, its default locale and its installer, every file of
# the same identifier, version and schema, named as winget names them; the registry's facts.
files = {n: yaml.safe_load(open(os.path.join(dist, "winget", n))) for n in os.listdir(os.path.join(dist, "winget"))}
kinds = {m.get("ManifestType"): m for m in files.values()}
expect("winget manifest kinds", sorted(kinds), ["defaultLocale", "installer", "version"])
v, l, i = (kinds.get(k, {}) for k in ("version", "defaultLocale", "installer"))
ident = v.get("PackageIdentifier", "")
for name, m in files.items():
    for field, wanted in [("ManifestVersion", v.get("ManifestVersion")), ("PackageIdentifier", ident),
                          ("PackageVersion", version)]:
        expect(f"{name} {field}", m.get(field), wanted)
expect("winget file names", sorted(files),
       sorted([f"{ident}.yaml", f"{ident}.installer.yaml", f"{ident}.locale.{v.get('DefaultLocale')}.yaml"]))
expect("PackageLocale", l.get("PackageLocale"), v.get("DefaultLocale"))
for field, wanted in [("Publisher", entry["Publisher"]), ("PackageName", entry["DisplayName"])]:
    expect(field, l.get(field), wanted)
expect("ProductCode", i.get("ProductCode"), entry["ProductCode"])
expect("AppsAndFeaturesEntries", i.get("AppsAndFeaturesEntries"),
       [{k: entry[k] for k in ("DisplayName", "Publisher", "DisplayVersion", "ProductCode")}])
installers = i.get("Installers", [])
expect("installers", len(installers), 1)
for one in installers:
    expect("InstallerSha256", one.get("InstallerSha256"), sha256[setup].upper())
    url = one.get("InstallerUrl", "")
    expect("InstallerUrl", bool(re.fullmatch(rf"https://[^/]+/(.+/)?{re.escape(version)}/{re.escape(setup)}", url)), True)

# Scoop: the portable zip, and how a later version is found and fetched.
s = json.load(open(os.path.join(dist, "scoop", "quorset.json")))
expect("scoop version", s.get("version"), version)
expect("scoop hash", s.get("hash"), sha256[zip_name])
url = s.get("url", "")
expect("scoop url", url.endswith(f"/{version}/{zip_name}"), True)
expect("scoop url's folder", url.startswith(s.get("checkver", {}).get("url", "?")), True)
names = zipfile.ZipFile(os.path.join(dist, zip_name)).namelist()
for program in [s.get("bin")] + [shortcut[0] for shortcut in s.get("shortcuts", [])]:
    expect(f"{program} in the zip", f"{s.get('extract_dir')}/{program}" in names, True)
found = re.search(s.get("checkver", {}).get("regex", "^$"), zip_name)
expect("checkver finds the version", found and found.group(1), version)
auto = s.get("autoupdate", {})
expect("autoupdate url", auto.get("url", "").replace("$version", version), url)
expect("autoupdate extract_dir", auto.get("extract_dir"), s.get("extract_dir"))

for failure in failures:
    print("FAILED:", failure)
print(f"{len(files)} winget files and the Scoop manifest checked: {len(failures)} failures")
sys.exit(1 if failures else 0)
