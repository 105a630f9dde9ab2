"""Records AT-SPI events of the walk's bus, one tab-separated line each with the
monotonic time: listen.py runs it beside the application (a main loop of its own)."""

import sys
import time

import pyatspi

KINDS = ("object:property-change:accessible-description", "object:property-change:accessible-name",
         "object:property-change:accessible-value", "object:state-changed:focused", "object:state-changed:selected",
         "object:state-changed:checked", "object:announcement")


def main():
    out = open(sys.argv[1], "w", buffering=1)

    def heard(event):
        try:
            role, name = event.source.getRoleName(), event.source.name
            app = event.host_application.name if event.host_application else ""
        except Exception:
            role, name, app = "?", "?", "?"
        if app and app not in ("Murmela", "Stock field"):
            return
        out.write("%.4f\t%s\t%s\t%r\t%s\t%r\n" % (time.monotonic(), event.type, role, name, event.detail1,
                                                  str(event.any_data)[:200]))

    pyatspi.Registry.registerEventListener(heard, *KINDS)
    pyatspi.Registry.start()


if __name__ == "__main__":
    main()
